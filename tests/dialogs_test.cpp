// The warning that the layer shows: its real message box, and the seam that
// answers it in the other tests.

#include "app/gui/dialogs.h"
#include "app/gui/runtime.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace {

class Warning : public ::testing::Test {
protected:
    void SetUp() override
    {
        gui::setBeepHandlerForTesting([this] { ++beeps_; });
    }
    void TearDown() override
    {
        gui::setBeepHandlerForTesting({});
        gui::setDialogResponderForTesting({});
    }

    int beeps_ = 0;
};

/// How the next message box that opens looked; it is then dismissed.
struct ShownBox {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString text;
    QString informativeText;
    bool modal = false;
    int beepsWhenShown = -1;

    void catchNext(const int& beeps)
    {
        QTimer::singleShot(0, [this, &beeps] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                catchNext(beeps);
                return;
            }
            icon = box->icon();
            text = box->text();
            informativeText = box->informativeText();
            modal = box->isModal();
            beepsWhenShown = beeps;
            box->accept();
        });
    }
};

TEST_F(Warning, RealMessageBoxShowsTheMessageAndTheDetailAfterTheAlert)
{
    ShownBox shown;
    shown.catchNext(beeps_);
    gui::ShowWarning(QStringLiteral("Could not save \"/tmp/x/blink.c\"."), QStringLiteral("Permission denied"));

    EXPECT_EQ(shown.icon, QMessageBox::Warning);
    EXPECT_EQ(shown.text, QStringLiteral("Could not save \"/tmp/x/blink.c\"."));
    EXPECT_EQ(shown.informativeText, QStringLiteral("Permission denied"));
    EXPECT_TRUE(shown.modal);
    EXPECT_EQ(shown.beepsWhenShown, 1);
    EXPECT_EQ(beeps_, 1);
}

TEST_F(Warning, SeamReceivesTheMessageAndTheDetail)
{
    std::vector<gui::DialogRequest> requests;
    gui::setDialogResponderForTesting([&requests](const gui::DialogRequest& request) {
        requests.push_back(request);
        return gui::FolderItemPtr();
    });
    gui::ShowWarning(QStringLiteral("message"), QStringLiteral("detail"));

    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].kind, gui::DialogRequest::Kind::Warning);
    EXPECT_EQ(requests[0].message, QStringLiteral("message"));
    EXPECT_EQ(requests[0].detail, QStringLiteral("detail"));
    EXPECT_EQ(beeps_, 1) << "the alert sounds whoever answers";
}

}  // namespace
