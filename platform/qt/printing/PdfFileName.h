#pragma once

#include <QString>

namespace qz {

// Where a page printed to a file goes unless the user picks another place: a file named after the
// document in the documents folder, or in the home folder where an account has no documents folder
// yet, so the print dialog never proposes a folder it cannot write to. The name fits the 255 bytes
// a file name may take on Linux file systems, shortened by whole characters.
QString defaultPdfPath(const QString& documentName);

} // namespace qz
