#pragma once

#include <QByteArray>

class QPrinter;

namespace qz {

// Paints the pages of a PDF, one to a sheet, onto a print preview's printer: the preview shows
// the very pages a print sends. Raises PrintFailure when the PDF cannot be read.
void paintPdfPreview(const QByteArray& pdf, QPrinter* preview);

} // namespace qz
