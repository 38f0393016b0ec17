// The about box and its help text.
#include <gtest/gtest.h>
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "support/HelpTextShape.h"
#include "ui/forms/HelpText.h"
#include "ui/qt/About.h"

namespace {

std::vector<std::string> HelpLines() {
    return fixtures::CrLfLines(ui::forms::HelpText());
}

std::size_t Chars(const std::string& utf8) {
    return static_cast<std::size_t>(QString::fromUtf8(utf8.c_str()).size());
}

}  // namespace

TEST(HelpText, HasSixSectionsOfShortLines) {
    const std::string text = ui::forms::HelpText();
    fixtures::ExpectHelpTextShape(text, Chars);
    EXPECT_NE(text.find("\u201C"), std::string::npos);
    EXPECT_NE(text.find("\u2019"), std::string::npos);
    // The passages of this build's system.
    EXPECT_NE(text.find("sr0"), std::string::npos);
    EXPECT_NE(text.find("cdrom"), std::string::npos);
}

TEST(AboutDialog, LaysOutItsControls) {
    TAboutDialog dialog;
    EXPECT_EQ(dialog.objectName(), "AboutDialog");
    EXPECT_EQ(dialog.windowTitle(), "About");
    EXPECT_EQ(dialog.size(), QSize(358, 288));
    EXPECT_EQ(dialog.Panel1->geometry(), QRect(7, 8, 344, 245));
    EXPECT_EQ(dialog.ProgramIcon->geometry(), QRect(40, 16, 33, 35));
    EXPECT_EQ(dialog.ProgramIcon->pixmap().size(), QSize(32, 32));
    // Labels keep their place and grow only as far as their caption needs.
    const auto expectPlace = [](const QLabel* label, QRect place) {
        EXPECT_EQ(label->pos(), place.topLeft()) << label->text().toStdString();
        EXPECT_GE(label->height(), place.height()) << label->text().toStdString();
        EXPECT_GE(label->width(), place.width()) << label->text().toStdString();
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
    };
    expectPlace(dialog.ProductName, {152, 8, 140, 16});
    EXPECT_EQ(dialog.ProductName->text(), "Discometer");
    EXPECT_EQ(dialog.ProductName->font().pixelSize(), 13);
    EXPECT_EQ(dialog.ProductName->palette().color(QPalette::WindowText), QColor(128, 0, 128));
    expectPlace(dialog.Version, {152, 24, 176, 13});
    EXPECT_EQ(dialog.Version->text(), "Ver 2.32 for Linux");  // the systems this build is for
    expectPlace(dialog.Copyright, {152, 40, 175, 13});
    expectPlace(dialog.TM, {152, 56, 82, 13});
    expectPlace(dialog.Address, {152, 72, 56, 13});
    EXPECT_EQ(dialog.Address->text(), "Home Page");
    EXPECT_TRUE(dialog.Address->font().underline());
    EXPECT_EQ(dialog.Address->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(dialog.Address->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(dialog.AboutMemo->geometry(), QRect(8, 94, 328, 143));
    EXPECT_TRUE(dialog.AboutMemo->isReadOnly());
    EXPECT_FALSE(dialog.AboutMemo->font().underline());
    EXPECT_EQ(dialog.OKButton->geometry(), QRect(141, 260, 75, 21));
    EXPECT_EQ(dialog.OKButton->text(), "OK");
    EXPECT_TRUE(dialog.OKButton->isDefault());
    EXPECT_TRUE(dialog.OKButton->font().underline());  // the dialog's own font
}

TEST(AboutDialog, EnterAndEscCloseIt) {
    for (const auto key : {Qt::Key_Return, Qt::Key_Escape}) {
        TAboutDialog dialog;
        dialog.show();
        QTest::keyClick(&dialog, key);
        EXPECT_FALSE(dialog.isVisible()) << key;
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << key;
    }
}

TEST(AboutDialog, HomePageOpensEachTimeAndTheDialogStays) {
    std::vector<QUrl> opened;
    TAboutDialog dialog(nullptr, [&](const QUrl& url) { opened.push_back(url); });
    dialog.show();
    QTest::mouseClick(dialog.Address, Qt::LeftButton);
    QTest::mouseClick(dialog.Address, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], ui::qt::HomePageUrl());
    EXPECT_TRUE(opened[0].isLocalFile());
    EXPECT_TRUE(QFile::exists(opened[0].toLocalFile()));
    EXPECT_TRUE(dialog.isVisible());
}

TEST(AboutDialog, ShowsTheHelpTextModallyAndFreesItself) {
    QPointer<TAboutDialog> seen;
    QString memo;
    bool scrolls = false;
    QTimer::singleShot(0, [&] {
        seen = qobject_cast<TAboutDialog*>(QApplication::activeModalWidget());
        if (seen) {
            memo = seen->AboutMemo->toPlainText();
            scrolls = seen->AboutMemo->verticalScrollBar()->maximum() > 0;
            QTest::keyClick(seen->AboutMemo, 'x');  // read-only: nothing changes
            memo += seen->AboutMemo->toPlainText() == memo ? "" : "EDITED";
            seen->OKButton->click();
        }
    });
    ShowAboutDialog(nullptr, [](const QUrl&) {});
    EXPECT_TRUE(seen.isNull());  // freed once closed
    const std::string help = ui::forms::HelpText();
    EXPECT_TRUE(memo.startsWith(QString::fromStdString(help.substr(0, help.find('\r')) + "\n")));
    EXPECT_EQ(memo.count('\n'), static_cast<qsizetype>(HelpLines().size()));
    EXPECT_FALSE(memo.contains("EDITED"));
    EXPECT_FALSE(memo.contains('\r'));
    EXPECT_TRUE(scrolls);
}

// The application lives on main's stack: Qt's input devices must go before it does.
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");  // also when the tests are only listed
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
