#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class QPrinter;

namespace qz {

// A print queue of the CUPS server the user's session points at (CUPS_SERVER, client.conf or the
// local one). A PDF is a job CUPS takes as it is, so the page reaches the printer with its text.
class CupsQueue {
public:
    // The queue the printer names, with what the print dialog chose: copies, collation, duplex,
    // colour and paper. Page range and orientation are already in the PDF's pages.
    explicit CupsQueue(const QPrinter& printer);

    // Submits the PDF as one job with the given title. Raises PrintFailure when CUPS refuses it.
    void print(const QByteArray& pdf, const QString& title) const;

private:
    QString m_name;
    QList<QPair<QByteArray, QByteArray>> m_options;
};

} // namespace qz
