#pragma once

#include <QString>

namespace os {

// The program's questions and messages to the operator, and the shell's "open".
// Everything goes through the installed instance, so tests can answer every box.
class Desktop {
public:
    enum class Icon { Information, Warning, Error, Question };

    virtual ~Desktop() = default;

    // A Yes/No question, Yes being the default button; true when the answer is Yes.
    virtual bool askYesNo(const QString& caption, const QString& text, Icon icon = Icon::Question) = 0;
    // A message with one OK button, shown until the operator closes it.
    virtual void showMessage(const QString& caption, const QString& text, Icon icon) = 0;
    // Opens a folder or file with the desktop's default application; false when that failed.
    virtual bool openPath(const QString& path) = 0;

    // The installed instance; the program installs one before its first window.
    static Desktop& current();
    // Replaces the current instance (not owned) and returns the one it replaced.
    static Desktop* install(Desktop* desktop);
};

} // namespace os
