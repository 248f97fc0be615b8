// The window's farewell: "Greet", listener off, the fade, then the end; and
// the assistant's part in loading and in the commands.
#include "app/NetworkLink.h"
#include "tests/app/MainWindowFixture.h"

#include "app/effects/AnimationClip.h"
#include "app/effects/AssistantCharacter.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTest>

namespace karsidan::test {
namespace {

class MainWindowClose : public MainWindowFixture {
protected:
    bool WithAssistant() const override { return true; }
    MainServices MakeServices() override
    {
        auto services = MainWindowFixture::MakeServices();
        services.fadeDurationMs = fadeMs;
        return services;
    }

    // Everything asked of the character so far and not yet over.
    QStringList Requested() const
    {
        QStringList names;
        AssistantCharacter* character = window->Character();
        if (!character)
            return names;
        if (!character->Queue().IsIdle())
            names << AnimationName(character->Queue().Current());
        return names + character->Queue().Pending();
    }

    bool PortAnswers(quint16 port) const
    {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port);
        return probe.waitForConnected(2000);
    }

    int fadeMs = 300;
};

TEST_F(MainWindowClose, LoadShowsTheCharacterPlayingAnnounce)
{
    window->show();
    ASSERT_TRUE(WaitUntil([this] { return window->Character() && window->Character()->isVisible(); }, 3000));
    EXPECT_EQ(Requested().value(0), "Announce");
    EXPECT_EQ(window->Character()->objectName(), "agnAnimation");
}

TEST_F(MainWindowClose, CommandsRequestThinkAndConfused)
{
    window->show();
    ASSERT_TRUE(WaitUntil([this] { return window->Character() != nullptr; }, 3000));
    Click("cmdEncrypt"); // no keys
    EXPECT_TRUE(Requested().contains("Confused"));
    SetKeys("1", "2", "3");
    Source()->setPlainText("abc");
    Click("cmdEncrypt");
    EXPECT_TRUE(Requested().contains("Think"));
    ASSERT_TRUE(WaitIdle());
}

TEST_F(MainWindowClose, CloseGreetsStopsListeningFadesThenEnds)
{
    fadeMs = 3000;
    window = std::make_unique<frmMain>(MakeServices());
    window->show();
    ASSERT_TRUE(WaitUntil([this] { return window->Character() != nullptr; }, 3000));
    const quint16 port = window->Network().wskListen().LocalPort();
    ASSERT_TRUE(PortAnswers(port));

    QElapsedTimer clock;
    clock.start();
    window->close();
    EXPECT_TRUE(Requested().contains("Greet"));
    EXPECT_FALSE(window->Network().wskListen().IsListening());
    EXPECT_FALSE(PortAnswers(port)) << "the listener closes before the fade";
    EXPECT_TRUE(window->isVisible()) << "the window fades first";

    // A second close request during the fade changes nothing.
    window->close();
    EXPECT_EQ(Requested().count("Greet"), 1);

    ASSERT_TRUE(WaitUntil([this] { return !window->isVisible(); }, 6000));
    const qint64 took = clock.elapsed();
    EXPECT_GE(took, 2900);
    EXPECT_LT(took, 4500);
    EXPECT_EQ(window->Character(), nullptr) << "the character goes with the window";
}

TEST_F(MainWindowClose, CloseWhileBusyIsRefusedWithoutAnimation)
{
    window->show();
    ASSERT_TRUE(WaitUntil([this] { return window->Character() != nullptr; }, 3000));
    cipher.Close(); // the transform waits until the test lets it go
    SetKeys("1", "2", "3");
    Source()->setPlainText("abc");
    Click("cmdEncrypt");
    ASSERT_TRUE(window->IsBusy());

    const QStringList before = Requested();
    window->close();
    Trigger("mnuExit");
    EXPECT_EQ(Requested(), before) << "no Greet for a refused close";
    EXPECT_TRUE(window->Network().wskListen().IsListening());
    QTest::qWait(fadeMs + 200);
    EXPECT_TRUE(window->isVisible());

    cipher.Open();
    ASSERT_TRUE(WaitIdle());
    window->close();
    EXPECT_TRUE(Requested().contains("Greet"));
    EXPECT_TRUE(WaitUntil([this] { return !window->isVisible(); }, 3000));
}

class MainWindowWithoutAssistant : public MainWindowFixture { };

TEST_F(MainWindowWithoutAssistant, EverythingWorksWithNoCharacter)
{
    window->show();
    QTest::qWait(50);
    EXPECT_EQ(window->Character(), nullptr);
    Click("cmdEncrypt");
    ASSERT_EQ(messages.warnings.size(), 1u);
    EXPECT_EQ(messages.warnings[0].text, "Silahkan Isi Kunci 1");
    SetKeys("k1", "k2", "k3");
    Source()->setPlainText("halo");
    Click("cmdEncrypt");
    ASSERT_TRUE(WaitIdle());
    EXPECT_FALSE(Target()->toPlainText().isEmpty());
    window->close();
    EXPECT_TRUE(WaitUntil([this] { return !window->isVisible(); }, 2000));
}

} // namespace
} // namespace karsidan::test
