#pragma once
// The shared image list of the tool bars, menus and actions, addressed by
// index. Icons come from the desktop's freedesktop icon theme when it has every
// one of them, so a tool bar never mixes two styles; otherwise from the set
// bundled with the program (":/icons/<name>.svg").

#include <QIcon>
#include <QString>

class QAction;
class QObject;

namespace TaskImages {

enum TImageIndex {
    imgStep = 22,
    imgHelp = 25,
    imgHistory = 28,
    imgImport = 29,
    imgExport = 30,
    imgUsers = 31,
    imgClients = 32,
    imgFirst = 33,
    imgLast = 34,
    imgNext = 35,
    imgPrior = 36,
    imgStart = 37,
    imgPause = 38,
    imgProjects = 39,
    imgAddTask = 40,
    imgRemoveTask = 41,
    imgTasks = 42,
    imgReview = 43,
    imgOptions = 44,
    imgCut = 45,
    imgPaste = 46,
    imgCopy = 47,
    imgReport = 48,
    imgSubmit = 49,
    imgOnlineHelp = 50,
    imgExit = 51,
};

/// The icon at an index; a null icon for an index the list does not hold.
QIcon Icon(int index);

/// An action with its object name, caption, hint (tool tip and status tip) and
/// the icon at an index (none for a negative index), owned by parent.
QAction *MakeAction(QObject *parent, const char *name, const QString &caption, const QString &hint, int image);

/// Freedesktop name of the icon at an index (empty when none).
QString ThemeName(int index);
/// Resource path of the bundled icon at an index (empty when none).
QString BundledPath(int index);
/// Every index the list holds, ascending.
const QList<int> &Indexes();

/// True when the icons come from the desktop theme (it has them all).
bool UsingTheme();

} // namespace TaskImages
