// The save dialog as the user meets it (no driver installed), answered by a
// timer: the name typed comes back as a GBK path with the suggested extension.

#include "GuiTestSupport.h"
#include "platform/CodePage.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

using platform::Gui;

namespace {

// Types `name` into the dialog once it is up and accepts, or cancels when empty.
void answerDialog(const QString& name)
{
    QTimer::singleShot(50, [name] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        if (name.isEmpty()) {
            dialog->reject();
            return;
        }
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(edit, nullptr);
        edit->setText(name);
        static_cast<QDialog*>(dialog)->accept(); // public there
    });
}

} // namespace

TEST(SaveDialogTest, TypedNameGetsTheSuggestedExtensionAndCancelGivesNothing)
{
    GuiFixtureGuard guard;
    const std::string folder = std::filesystem::temp_directory_path().string();
    const std::string suggested = folder + "/" + platform::utf8ToGbk("答卷-1-20260101.pdf");

    answerDialog(QStringLiteral("成绩"));
    const std::optional<std::string> chosen = Gui::saveFileName("none", "t", suggested, "PDF (*.pdf)");
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, folder + "/" + platform::utf8ToGbk("成绩.pdf"));

    answerDialog({});
    EXPECT_FALSE(Gui::saveFileName("none", "t", suggested, "PDF (*.pdf)").has_value());
}
