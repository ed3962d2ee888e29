#pragma once

#include <QObject>

namespace qz {

// The toolkit's file chooser writes sizes and dates in the system's language ("1,018 bytes",
// "9 Dec 2026 06:57:43" under LANG=C), and that language is fixed once the engine's library is loaded,
// before main. Installed on the application, this rewrites those two columns in the shell's language in
// every file chooser drawn by the toolkit, as it is shown. Choosers of the desktop's own are left alone.
class FileChooserDetails final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace qz
