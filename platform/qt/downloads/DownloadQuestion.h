#pragma once

#include <QMessageBox>

class QPushButton;

namespace qz {

// What the user chose for one download.
enum class DownloadAnswer { Open, Save, Cancel };

// Whether to open, save or drop a file, naming it, its size and its site; 保存 is the default. It
// blocks nothing: the engine goes on meanwhile. Page texts (the name) are shown as written, never
// as markup. It deletes itself once answered.
class DownloadQuestion final : public QMessageBox {
    Q_OBJECT
public:
    DownloadQuestion(const QString& fileName, qint64 size, const QString& site);

    // The size once the server has said it (negative: not said).
    void setSize(qint64 size);
    // Answers as the user would by a click.
    void answer(DownloadAnswer answer);

signals:
    // Once; closing it without a choice drops the download.
    void answered(DownloadAnswer answer);

private:
    void updateText();

    QString m_fileName;
    qint64 m_size;
    QString m_site;
    QPushButton* m_open;
    QPushButton* m_save;
    QPushButton* m_cancel;
};

} // namespace qz
