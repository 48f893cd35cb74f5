#pragma once
// Help and web links: the program's help pages, opened at a named topic in the
// help viewer, and web addresses opened in the user's browser.

#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;
class TForm_Help_Form;

/// The topic shown for an empty or unknown topic name.
inline const QString kWelcomeTopic = QStringLiteral("Welcome");

/// The topics the help pages cover: "Welcome", "Time_Tracker", "Review_Screen",
/// "Options", "Tasks", "Projects", "Users", "Clients".
const QStringList &HelpTopics();

/// The topic that is shown for a requested name: the name itself when a page
/// of that name exists, otherwise "Welcome".
QString ResolveHelpTopic(const QString &topic);

/// Address of a topic's page in the program's resources (after resolving).
QUrl HelpTopicUrl(const QString &topic);

/// Opens the help viewer at a topic ("Welcome" when empty or unknown). One viewer
/// is reused; while a modal dialog is open the viewer belongs to that dialog, so
/// it can be used beside it. The viewer is modeless and deletes itself when
/// closed. Returns the viewer shown.
TForm_Help_Form *OpenHelp(const QString &topic, QWidget *parent = nullptr);

/// The maker's online help page, "TimesheetsHelpCentre.html" on the maker's site.
QString OnlineHelpAddress();
/// The maker's home address, shown by the About window's link.
QString MakerHomeAddress();

/// Hands a web address to the desktop's default handler. No result is checked.
void OpenWebAddress(const QString &address);
/// Opens the online help page in the browser.
void OpenOnlineHelp();
