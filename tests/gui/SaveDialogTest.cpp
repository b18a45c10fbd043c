// The save dialog as the user meets it (no driver installed), answered by a
// timer that types a name: it comes back as a GBK path with the suggested extension.

#include "GuiTestSupport.h"
#include "platform/CodePage.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

TEST(SaveDialogTest, TypedNameGetsTheSuggestedExtensionAndCancelGivesNothing)
{
    GuiFixtureGuard guard;
    const auto answer = [](const QString& name) {
        QTimer::singleShot(50, [name] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
            name.isEmpty() ? dialog->reject() : static_cast<QDialog*>(dialog)->accept(); // public there
        });
    };
    const std::string suggested = "/tmp/" + platform::utf8ToGbk("答卷-1-20260101.pdf");
    answer(QStringLiteral("成绩"));
    EXPECT_EQ(platform::Gui::saveFileName("none", "t", suggested, "PDF (*.pdf)"),
              "/tmp/" + platform::utf8ToGbk("成绩.pdf"));
    answer({});
    EXPECT_FALSE(platform::Gui::saveFileName("none", "t", suggested, "PDF (*.pdf)").has_value());
}
