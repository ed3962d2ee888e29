#include "InternetOptionsDialog.h"

#include <QBoxLayout>
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QFormLayout>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

#include "ConnectionSection.h"

namespace qz {

struct ProfileDeletion {
    const char* objectName;
    const char16_t* label;
    const char16_t* question;
    const char16_t* done;
    void (*run)(QWebEngineProfile& profile);
};

namespace {
constexpr ProfileDeletion kDeletions[] = {
    { "deleteCookies", u"删除 Cookie(&C)…", u"要删除所有 Cookie 吗？\n已登录的网站需要重新登录。",
        u"已删除所有 Cookie。",
        [](QWebEngineProfile& profile) { profile.cookieStore()->deleteAllCookies(); } },
    { "clearCache", u"删除缓存文件(&T)…", u"要删除所有缓存的网页文件吗？\n网页下次打开时将重新下载。",
        u"已删除缓存文件。", [](QWebEngineProfile& profile) { profile.clearHttpCache(); } },
    { "clearVisitedLinks", u"删除访问记录(&H)…",
        u"要删除访问过的网址记录吗？\n网页上访问过的链接将不再以另一种颜色显示。", u"已删除访问记录。",
        [](QWebEngineProfile& profile) { profile.clearAllVisitedLinks(); } },
};

// The engine writes its cache in the background; the size shown follows it while the dialog is open.
constexpr int kCacheSizeRefreshMs = 2000;

QString text(const char16_t* utf16) {
    return QString::fromUtf16(utf16);
}

QString folderText(const QString& path) {
    return path.isEmpty() ? QStringLiteral("（不保存在磁盘上）") : path;
}

qint64 diskUsage(const QString& folder) {
    qint64 total = 0;
    QDirIterator files(
        folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        files.next();
        total += files.fileInfo().size();
    }
    return total;
}

QLabel* pathLabel(const QString& path) {
    auto* label = new QLabel(folderText(path));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}
} // namespace

void showInternetOptions(QPointer<InternetOptionsDialog>& shown, QWidget* parent, QWebEngineProfile* profile,
    const ProxyInUse& proxy) {
    if (!shown) {
        shown = new InternetOptionsDialog(parent, profile, proxy);
        shown->show();
    } else {
        shown->showNormal();
    }
    shown->raise();
    shown->activateWindow();
}

InternetOptionsDialog::InternetOptionsDialog(
    QWidget* parent, QWebEngineProfile* profile, const ProxyInUse& proxy)
    : QDialog(parent)
    , m_profile(profile) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Internet 选项"));
    setAccessibleName(windowTitle());
    // Wide enough for the usual data folders to show on one line each.
    setMinimumWidth(560);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setText(QStringLiteral("关闭"));
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    m_status = new QLabel;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(storageGroup());
    layout->addWidget(deletionGroup());
    layout->addWidget(connectionSection(proxy, this));
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    // The keyboard starts on 关闭, not on the first deletion.
    close->setFocus();

    auto* refresh = new QTimer(this);
    connect(refresh, &QTimer::timeout, this, &InternetOptionsDialog::showCacheSize);
    refresh->start(kCacheSizeRefreshMs);
    showCacheSize();
}

QWidget* InternetOptionsDialog::storageGroup() {
    auto* group = new QGroupBox(QStringLiteral("浏览数据的存放位置"));
    auto* form = new QFormLayout(group);
    const QString storage = m_profile ? m_profile->persistentStoragePath() : QString();
    const QString cache = m_profile ? m_profile->cachePath() : QString();
    form->addRow(QStringLiteral("Cookie 和网站数据："), pathLabel(storage));
    form->addRow(QStringLiteral("缓存文件："), pathLabel(cache));
    m_cacheSize = new QLabel;
    m_cacheSize->setObjectName(QStringLiteral("cacheSize"));
    form->addRow(QStringLiteral("缓存占用空间："), m_cacheSize);
    return group;
}

QWidget* InternetOptionsDialog::deletionGroup() {
    auto* group = new QGroupBox(QStringLiteral("删除浏览数据"));
    auto* column = new QVBoxLayout(group);
    column->addWidget(new QLabel(QStringLiteral("删除的数据无法恢复。每项删除之前都会先征得你的同意。")));
    auto* row = new QHBoxLayout;
    for (const ProfileDeletion& deletion : kDeletions)
        addDeletion(row, deletion);
    column->addLayout(row);
    return group;
}

void InternetOptionsDialog::addDeletion(QBoxLayout* row, const ProfileDeletion& deletion) {
    auto* button = new QPushButton(text(deletion.label));
    button->setObjectName(QString::fromLatin1(deletion.objectName));
    button->setAutoDefault(false);
    button->setEnabled(m_profile != nullptr);
    connect(button, &QPushButton::clicked, this, [this, &deletion] {
        if (!confirmed(text(deletion.question)) || !m_profile)
            return;
        deletion.run(*m_profile);
        m_status->setText(text(deletion.done));
        showCacheSize();
    });
    row->addWidget(button);
}

bool InternetOptionsDialog::confirmed(const QString& question) {
    QMessageBox box(QMessageBox::Question, windowTitle(), question, QMessageBox::Yes | QMessageBox::No, this);
    for (const auto& [button, label] :
        { std::pair { QMessageBox::Yes, u"是" }, std::pair { QMessageBox::No, u"否" } }) {
        box.button(button)->setText(QString::fromUtf16(label));
        box.button(button)->setIcon(QIcon()); // words only, like the shell's other questions
    }
    // Nothing is deleted by a stray Enter or Escape.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void InternetOptionsDialog::showCacheSize() {
    if (!m_profile || m_profile->cachePath().isEmpty()) {
        m_cacheSize->setText(QStringLiteral("无"));
        return;
    }
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    m_cacheSize->setText(
        chinese.formattedDataSize(diskUsage(m_profile->cachePath()), 1, QLocale::DataSizeTraditionalFormat));
}

} // namespace qz
