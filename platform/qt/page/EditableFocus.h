#pragma once

#include <QString>

class QKeySequence;
class QWebEnginePage;

namespace qz {

// Whether an editable field of the page (a text input, a text area, editable content) has the
// focus, so that the clipboard keys go to it rather than to the menu. A small script in a world
// of its own reports each change as a console message, which the page hands over here.
class EditableFocus final {
public:
    explicit EditableFocus(QWebEnginePage* page);

    // True when the message was this script's report; such messages go no further.
    bool takeReport(const QString& message);
    // A new document starts with nothing focused.
    void reset() { m_editable = false; }

    bool editableHasFocus() const { return m_editable; }
    // Copy, paste, cut and select all: the keys an editable field keeps for itself.
    static bool isEditingKey(const QKeySequence& keys);

private:
    bool m_editable = false;
};

} // namespace qz
