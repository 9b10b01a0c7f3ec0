#pragma once
#include "richedit/wwtypes.h"

#include <functional>

class QAbstractButton;
class QWidget;
class TwwCustomRichEdit;
class TwwDBComboBox;

// The format bar's commands of a window on its editor, shared by the word processor's
// main window and the editor window. A toggle button flips its down state before its
// click arrives, so the style and bullet toggles decide from ButtonDown: the state the
// button had at mouse-down, or the selection's state for keys and the Bullet menu item.
// Every command but a refused size ends with the window's refresh.
class TwwFormatCommands {
public:
    explicit TwwFormatCommands(std::function<void()> refresh) : m_refresh(std::move(refresh)) {}

    void SetEditor(TwwCustomRichEdit *editor) { m_editor = editor; }
    bool ButtonDown() const { return m_buttonDown; }

    // Mouse-down on the bold, italic, underline or bullet button.
    void ButtonMouseDown(const QAbstractButton *sender);
    // Switches one style on or off for the whole selection, as ButtonDown decides.
    void ToggleStyle(TFontStyle style);
    // The same from the keyboard, decided by the selection.
    void ToggleStyleByKey(TFontStyle style);
    void SetAlignment(int alignment);  // a TAlignment
    void ToggleBullets();
    // The Bullet menu item: decided by the paragraph, the button's state stays.
    void BulletMenuClick();
    // A choice in the face box's list, applied only when it differs from the selection's.
    void FontNameCloseUp(const TwwDBComboBox *sender, bool select);
    // A choice in the size box's list; a text that is no size shows a message on `parent`
    // and changes nothing.
    void FontSizeCloseUp(QWidget *parent, const TwwDBComboBox *sender, bool select);

private:
    void ApplyFontSize(int points);

    TwwCustomRichEdit *m_editor = nullptr;
    std::function<void()> m_refresh;
    bool m_buttonDown = false;
};
