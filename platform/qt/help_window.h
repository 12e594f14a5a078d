// The help window that WinHelpA opens: our own pages, embedded as resources, in a text browser.
#pragma once

#include <QByteArray>
#include <QString>

#include <string>

#include "../core/internal.h"

class QObject;
class QWidget;
class QTextBrowser;

namespace platform::qt {

// The page that HELP_CONTENTS shows.
inline constexpr char kHelpContentsPage[] = "index.html";

// A help request of the game: HELP_CONTENTS of "ZUM32.HLP" opens the help window on its contents
// page (beside owner, when given) or raises it; HELP_QUIT closes it, whatever file it names.
// The window closes at the latest when lifetime is destroyed. FALSE for anything else.
BOOL HelpRequest(QWidget* owner, QObject* lifetime, const std::string& file, UINT command);

// The help window while it is open, else null.
QWidget* OpenHelpWindow();
// The browser inside the open help window, else null.
QTextBrowser* OpenHelpBrowser();

// The embedded help file of that name ("index.html", "help.css"), or empty when there is none.
QByteArray HelpFile(const QString& fileName);

}  // namespace platform::qt
