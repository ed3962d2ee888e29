#pragma once

#include <QStringList>
#include <QWidget>

namespace qz {

// The main window's own drawing surface, under the browser view: printed lines stand at its top
// left, one under another, in the default font. The view covers them until it is made smaller.
class Surface final : public QWidget {
    Q_OBJECT
public:
    explicit Surface(QWidget* parent = nullptr);

    void print(const QString& line);
    const QStringList& lines() const { return m_lines; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList m_lines;
};

} // namespace qz
