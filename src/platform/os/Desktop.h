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
    virtual bool askYesNo(const QString& caption, const QString& text) = 0;
    // A message with one OK button, shown until the operator closes it.
    virtual void showMessage(const QString& caption, const QString& text, Icon icon) = 0;
    // Opens a folder or file with the desktop's default application; false when that failed.
    virtual bool openPath(const QString& path) = 0;

    static Desktop& current();
    // Replaces the current instance (not owned); nullptr restores the system one.
    static void install(Desktop* desktop);
};

// The real message boxes and the desktop's file opener.
class SystemDesktop final : public Desktop {
public:
    bool askYesNo(const QString& caption, const QString& text) override;
    void showMessage(const QString& caption, const QString& text, Icon icon) override;
    bool openPath(const QString& path) override;
};

} // namespace os
