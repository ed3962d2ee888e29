#pragma once

#include <QString>

namespace qz {

// Qt reads markers into some of the texts it shows: "[*]" in a window title stands for the
// modified mark, '&' in a menu or button text marks an access key. The shell's texts are shown as
// written, so each marker is escaped the way Qt undoes it when drawing.

// A window title that shows exactly the given text.
QString literalWindowTitle(const QString& text);

// A menu, action or button text that shows exactly the given text and has no access key.
QString literalMenuText(const QString& text);

} // namespace qz
