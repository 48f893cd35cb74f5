#include "tracking/TaskImages.h"

#include <QAction>

#include <QHash>

#include <array>

namespace TaskImages {

namespace {

struct TImage
{
    int index;
    const char *themeName;
    const char *file;
};

// Standard freedesktop names where the icon naming standard has one, the nearest
// common name elsewhere.
constexpr std::array kImages{
    TImage{imgStep, "view-sort-ascending", "step"},
    TImage{imgHelp, "help-contents", "help"},
    TImage{imgHistory, "document-open-recent", "history"},
    TImage{imgImport, "document-open", "import"},
    TImage{imgExport, "document-save-as", "export"},
    TImage{imgUsers, "system-users", "users"},
    TImage{imgClients, "x-office-address-book", "clients"},
    TImage{imgFirst, "go-first", "first"},
    TImage{imgLast, "go-last", "last"},
    TImage{imgNext, "go-next", "next"},
    TImage{imgPrior, "go-previous", "prior"},
    TImage{imgStart, "media-playback-start", "start"},
    TImage{imgPause, "media-playback-pause", "pause"},
    TImage{imgProjects, "folder", "projects"},
    TImage{imgAddTask, "list-add", "add"},
    TImage{imgRemoveTask, "list-remove", "remove"},
    TImage{imgTasks, "view-list", "tasks"},
    TImage{imgReview, "x-office-calendar", "review"},
    TImage{imgOptions, "preferences-system", "options"},
    TImage{imgCut, "edit-cut", "cut"},
    TImage{imgPaste, "edit-paste", "paste"},
    TImage{imgCopy, "edit-copy", "copy"},
    TImage{imgReport, "x-office-document", "report"},
    TImage{imgSubmit, "mail-send", "submit"},
    TImage{imgOnlineHelp, "help-browser", "online-help"},
    TImage{imgExit, "application-exit", "exit"},
};

const TImage *Find(int index)
{
    for (const TImage &image : kImages)
        if (image.index == index)
            return &image;
    return nullptr;
}

bool ThemeHasAll()
{
    if (QIcon::themeName().isEmpty())
        return false;
    for (const TImage &image : kImages)
        if (!QIcon::hasThemeIcon(QString::fromLatin1(image.themeName)))
            return false;
    return true;
}

} // namespace

QString ThemeName(int index)
{
    const TImage *image = Find(index);
    return image ? QString::fromLatin1(image->themeName) : QString();
}

QString BundledPath(int index)
{
    const TImage *image = Find(index);
    return image ? QStringLiteral(":/icons/%1.svg").arg(QString::fromLatin1(image->file)) : QString();
}

const QList<int> &Indexes()
{
    static const QList<int> indexes = [] {
        QList<int> list;
        for (const TImage &image : kImages)
            list << image.index;
        std::sort(list.begin(), list.end());
        return list;
    }();
    return indexes;
}

bool UsingTheme()
{
    static const bool theme = ThemeHasAll();
    return theme;
}

QAction *MakeAction(QObject *parent, const char *name, const QString &caption, const QString &hint, int image)
{
    auto *action = new QAction(caption, parent);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(hint);
    action->setStatusTip(hint);
    if (image >= 0)
        action->setIcon(Icon(image));
    return action;
}

QIcon Icon(int index)
{
    static QHash<int, QIcon> cache;
    const auto cached = cache.constFind(index);
    if (cached != cache.constEnd())
        return cached.value();
    const TImage *image = Find(index);
    if (!image)
        return {};
    const QIcon icon = UsingTheme() ? QIcon::fromTheme(QString::fromLatin1(image->themeName))
                                    : QIcon(BundledPath(index));
    cache.insert(index, icon);
    return icon;
}

} // namespace TaskImages
