// Print, print preview and page set-up through ExecWB: modal dialogs of the main window, one
// printer for all of them, and a PDF file where no printer is installed.
#include <memory>

#include <QAction>
#include <QFile>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRadioButton>
#include <QRegularExpression>
#include <QWebEngineView>
#include <gtest/gtest.h>

#include "BrowserTestSupport.h"
#include "platform/Errors.h"
#include "platform/qt/printing/Printing.h"
#include "platform/qt/window/QtBrowser.h"

namespace qz {
namespace {

using test::LoadWatch;
using test::whenModal;

// Whatever printers the machine has, the printing system shows these tests none: its server is one
// that is not there. Set before the first printer asks for it.
const bool g_noPrinters = qputenv("CUPS_SERVER", "/nonexistent/qz-test-cups.sock");

class BrowserPrintingTest : public ::testing::Test {
protected:
    BrowserPrintingTest()
        : m_browser(std::make_unique<QtBrowser>(&m_container, m_profile.pages(), m_printing))
        , m_pdf(QDir(m_pages.path()).filePath(QStringLiteral("打印结果.pdf"))) {
        m_container.resize(800, 600);
        m_container.show();
        // Whatever the machine has installed, these tests print into their own folder.
        m_printing.printer().setOutputFormat(QPrinter::PdfFormat);
        m_printing.printer().setOutputFileName(m_pdf);
        m_printing.printer().setPageOrientation(QPageLayout::Portrait);
    }

    bool loadPage() {
        LoadWatch watch(m_browser->view()->page());
        m_browser->Navigate(
            m_pages.write("print.html", "打印的页面", "<h1>要打印的内容</h1>").toString().toStdU16String());
        return watch.finished() && watch.ok();
    }

    bool pdfWritten() const {
        QFile file(m_pdf);
        return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-" && file.size() > 1000;
    }

    // Checked while the dialog is up: modal, the main window's, on the shared printer.
    template<class Dialog> void expectShellDialog(Dialog* dialog, const char16_t* title) {
        EXPECT_EQ(dialog->windowTitle(), QString::fromUtf16(title));
        EXPECT_TRUE(dialog->isModal());
        EXPECT_EQ(dialog->parentWidget(), &m_container);
        EXPECT_EQ(dialog->printer(), &m_printing.printer());
    }

    test::TestProfile m_profile;
    Printing m_printing;
    test::PageFolder m_pages;
    QWidget m_container;
    std::unique_ptr<QtBrowser> m_browser;
    QString m_pdf;
};

TEST_F(BrowserPrintingTest, PageSetUpCarriesOverToLaterPrints) {
    ASSERT_TRUE(loadPage());
    bool shown = false;
    whenModal<QPageSetupDialog>([&](QPageSetupDialog* dialog) {
        shown = true;
        expectShellDialog(dialog, u"页面设置");
        auto* landscape = dialog->findChild<QRadioButton*>(QStringLiteral("landscape"));
        ASSERT_NE(landscape, nullptr);
        landscape->click();
        dialog->accept();
    });
    m_browser->ExecWB(OLECMDID_PAGESETUP, OLECMDEXECOPT_DODEFAULT);
    ASSERT_TRUE(shown);

    m_browser->ExecWB(OLECMDID_PRINT, 2);
    ASSERT_TRUE(pdfWritten());
    QFile file(m_pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // Qt writes each page's size uncompressed: wider than high is landscape.
    static const QRegularExpression mediaBox(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
    const QRegularExpressionMatch box = mediaBox.match(QString::fromLatin1(file.readAll()));
    ASSERT_TRUE(box.hasMatch());
    EXPECT_GT(box.captured(1).toDouble(), box.captured(2).toDouble());
}

TEST_F(BrowserPrintingTest, ACancelledPrintDialogPrintsNothing) {
    ASSERT_TRUE(loadPage());
    bool shown = false;
    whenModal<QPrintDialog>([&](QPrintDialog* dialog) {
        shown = true;
        expectShellDialog(dialog, u"打印");
        dialog->reject();
    });
    m_browser->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DODEFAULT);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(QFile::exists(m_pdf));
}

TEST_F(BrowserPrintingTest, AnAcceptedPrintDialogHasPrintedThePageWhenExecWBReturns) {
    ASSERT_TRUE(loadPage());
    whenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->accept(); });
    m_browser->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DODEFAULT);
    EXPECT_TRUE(pdfWritten());
}

TEST_F(BrowserPrintingTest, PrintingWithoutPromptWritesThePageAtOnce) {
    ASSERT_TRUE(loadPage());
    m_browser->ExecWB(OLECMDID_PRINT, 2);
    EXPECT_TRUE(pdfWritten());
}

TEST_F(BrowserPrintingTest, PreviewShowsThePagesOfThePage) {
    ASSERT_TRUE(loadPage());
    int pages = 0;
    const auto rendered = [](QPrintPreviewDialog* dialog) {
        const auto* preview = dialog->findChild<QPrintPreviewWidget*>();
        return preview && preview->pageCount() > 0;
    };
    whenModal<QPrintPreviewDialog>(rendered, [&](QPrintPreviewDialog* dialog) {
        expectShellDialog(dialog, u"打印预览");
        pages = dialog->findChild<QPrintPreviewWidget*>()->pageCount();
        dialog->reject();
    });
    m_browser->ExecWB(OLECMDID_PRINTPREVIEW, OLECMDEXECOPT_DODEFAULT);
    EXPECT_EQ(pages, 1);
    EXPECT_FALSE(QFile::exists(m_pdf));
}

TEST_F(BrowserPrintingTest, PrintingFromThePreviewWritesTheEnginesPdfOfThePage) {
    ASSERT_TRUE(loadPage());
    const auto rendered = [](QPrintPreviewDialog* dialog) {
        const auto* preview = dialog->findChild<QPrintPreviewWidget*>();
        return preview && preview->pageCount() > 0;
    };
    bool printed = false;
    whenModal<QPrintPreviewDialog>(rendered, [&](QPrintPreviewDialog* dialog) {
        whenModal<QPrintDialog>([](QPrintDialog* print) { print->accept(); });
        for (QAction* action : dialog->findChildren<QAction*>())
            if (!printed
                && (action->text() == QStringLiteral("Print") || action->text() == QStringLiteral("打印"))) {
                printed = true;
                action->trigger();
            }
    });
    m_browser->ExecWB(OLECMDID_PRINTPREVIEW, OLECMDEXECOPT_DODEFAULT);
    ASSERT_TRUE(printed);
    ASSERT_TRUE(pdfWritten());
    QFile file(m_pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("/FontFile2")) << "the page's text is text, with its fonts";
}

TEST_F(BrowserPrintingTest, APrintThatFailsIsToldToTheUser) {
    ASSERT_TRUE(loadPage());
    m_printing.printer().setOutputFileName(
        QDir(m_pages.path()).filePath(QStringLiteral("没有的文件夹/页.pdf")));
    QString told;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        told = box->text();
        box->accept();
    });
    EXPECT_THROW(m_browser->ExecWB(OLECMDID_PRINT, 2), PlatformError);
    EXPECT_TRUE(told.startsWith(QStringLiteral("无法写入文件"))) << told.toStdString();
}

} // namespace
TEST(DocumentName, DropsTheSizeAPortalTitleCarries) {
    EXPECT_EQ(Printing::documentName(QStringLiteral("QZ 门户@800@560")), QStringLiteral("QZ 门户"));
    EXPECT_EQ(Printing::documentName(QStringLiteral("QZ")), QStringLiteral("QZ"));
    EXPECT_EQ(Printing::documentName(QStringLiteral("联系 help@example.com")),
        QStringLiteral("联系 help@example.com"));
}

} // namespace qz
