#include "app/effects/AssistantCharacter.h"
#include "app/effects/AssistantLoader.h"
#include "app/effects/AssistantPosition.h"
#include "app/effects/CharacterPainter.h"

#include <QApplication>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A clock the test turns by hand.
struct FakeClock {
    qint64 now = 1000;
    AssistantCharacter::Clock Function()
    {
        return [this] { return now; };
    }
};

class EnvironmentSwitch {
public:
    explicit EnvironmentSwitch(const QByteArray& value)
        : had_(qEnvironmentVariableIsSet(kNoAssistantVariable)), old_(qgetenv(kNoAssistantVariable))
    {
        if (value.isNull())
            qunsetenv(kNoAssistantVariable);
        else
            qputenv(kNoAssistantVariable, value);
    }
    ~EnvironmentSwitch()
    {
        if (had_)
            qputenv(kNoAssistantVariable, old_);
        else
            qunsetenv(kNoAssistantVariable);
    }

private:
    bool had_;
    QByteArray old_;
};

} // namespace

TEST(AssistantCharacter, IsAQuietToolWindowAboveTheOthers)
{
    AssistantCharacter character;
    EXPECT_TRUE(character.isWindow());
    const Qt::WindowFlags flags = character.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(character.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(character.testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(character.focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(character.objectName(), "agnAnimation");
    EXPECT_GE(character.width(), 80);
    EXPECT_LE(character.width(), 120);
    EXPECT_GE(character.height(), 80);
    EXPECT_LE(character.height(), 130);
}

TEST(AssistantCharacter, FramesComeAtLeastThirtyTimesASecond)
{
    AssistantCharacter character;
    EXPECT_TRUE(character.IsAnimating());
    EXPECT_LE(character.FrameIntervalMs(), 1000 / 30);
    auto* timer = character.findChild<QTimer*>("assistantFrameTimer");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), character.FrameIntervalMs());

    // Faster while an animation plays, back to the idle pace afterwards.
    FakeClock clock;
    AssistantCharacter player(nullptr, clock.Function());
    const int idleInterval = player.FrameIntervalMs();
    player.Play("Greet");
    EXPECT_LT(player.FrameIntervalMs(), idleInterval);
    EXPECT_LE(player.FrameIntervalMs(), 1000 / 50);
    clock.now += AnimationDurationMs(Animation::Greet);
    player.Tick();
    EXPECT_TRUE(player.Queue().IsIdle());
    EXPECT_EQ(player.FrameIntervalMs(), idleInterval);

    // The real timer moves the idle loop on by itself.
    const qint64 before = character.Queue().Elapsed();
    QSignalSpy frames(&character, &AssistantCharacter::FrameAdvanced);
    EXPECT_TRUE(frames.wait(1000));
    EXPECT_NE(character.Queue().Elapsed(), before);
}

TEST(AssistantCharacter, PlaysByTheClockOneFramePerTick)
{
    FakeClock clock;
    AssistantCharacter character(nullptr, clock.Function());
    QSignalSpy finished(&character.Queue(), &AnimationQueue::AnimationFinished);
    QSignalSpy frames(&character, &AssistantCharacter::FrameAdvanced);

    EXPECT_TRUE(character.Play("Think"));
    EXPECT_TRUE(character.Play("Greet"));
    EXPECT_FALSE(character.Play("Dance"));
    EXPECT_EQ(character.Queue().Current(), Animation::Think);
    EXPECT_EQ(character.Queue().Pending(), QStringList{"Greet"});

    const QImage idle = RenderCharacterFrame(Animation::Idle, 0, character.size());
    const int total = AnimationDurationMs(Animation::Think) + AnimationDurationMs(Animation::Greet);
    int ticks = 0;
    while (clock.now - 1000 < total) {
        clock.now += character.FrameIntervalMs();
        character.Tick();
        ++ticks;
        if (ticks == 30) {
            EXPECT_EQ(character.Queue().Elapsed(), 30 * character.FrameIntervalMs());
            EXPECT_NE(character.CurrentFrame(), idle);
        }
    }
    EXPECT_EQ(frames.size(), ticks);
    EXPECT_GE(ticks, total * 30 / 1000);
    EXPECT_EQ(finished.size(), 2);
    EXPECT_TRUE(character.Queue().IsIdle());

    // A tick without time passing draws nothing new.
    character.Tick();
    EXPECT_EQ(frames.size(), ticks);
}

TEST(AssistantCharacter, IsPlacedOnceAndStaysThere)
{
    AssistantCharacter character;
    EXPECT_FALSE(character.IsPlaced());
    EXPECT_TRUE(character.PlaceAt(QPoint(760, 60)));
    EXPECT_FALSE(character.PlaceAt(QPoint(10, 10)));
    EXPECT_EQ(character.pos(), QPoint(760, 60));
}

TEST(AssistantLoader, StandsBesideTheMainWindowAndAnnouncesItself)
{
    EnvironmentSwitch on("0");
    auto main = std::make_unique<QWidget>();
    main->setObjectName("frmMain");
    main->setGeometry(100, 60, 654, 396);
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    const QRect frame = main->frameGeometry();

    QPointer<AssistantCharacter> character = LoadAssistantCharacter(main.get());
    ASSERT_TRUE(character);
    const double twips = 1440.0 / main->screen()->logicalDotsPerInchX();
    const auto expected = AssistantPosition(frame.x() * twips, frame.y() * twips, frame.width() * twips, twips, twips);
    ASSERT_TRUE(expected);
    EXPECT_EQ(character->pos(), *expected);
    EXPECT_EQ(character->pos(), QPoint(frame.x() + frame.width(), frame.y()));
    EXPECT_TRUE(character->isVisible());
    EXPECT_EQ(character->Queue().Current(), Animation::Announce);
    EXPECT_EQ(main->findChild<AssistantCharacter*>("agnAnimation"), character.data());

    // Moving the main window later leaves the character where it stands.
    const QPoint placed = character->pos();
    main->move(300, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(character->pos(), placed);

    // It goes when the main window goes.
    main.reset();
    EXPECT_TRUE(character.isNull());
}

TEST(AssistantLoader, LoadedBeforeTheWindowShowsItWaitsForIt)
{
    EnvironmentSwitch on{QByteArray()};
    QWidget main;
    main.setGeometry(200, 90, 654, 396);
    QPointer<AssistantCharacter> character = LoadAssistantCharacter(&main);
    ASSERT_TRUE(character);
    EXPECT_FALSE(character->isVisible());
    EXPECT_FALSE(character->IsPlaced());
    EXPECT_TRUE(character->Queue().IsIdle());

    // Moved before it is first shown, as centring does.
    main.move(120, 150);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    ASSERT_TRUE(QTest::qWaitFor([&] { return character && character->isVisible(); }, 2000));
    const QRect frame = main.frameGeometry();
    EXPECT_EQ(character->pos(), QPoint(frame.x() + frame.width(), frame.y()));
    EXPECT_EQ(character->Queue().Current(), Animation::Announce);
}

TEST(AssistantLoader, DeclinesWhenSwitchedOffAndShowsNothing)
{
    EnvironmentSwitch off("1");
    EXPECT_TRUE(AssistantDisabledByEnvironment());
    QWidget main;
    main.show();
    const int windowsBefore = QApplication::topLevelWidgets().size();
    EXPECT_EQ(LoadAssistantCharacter(&main), nullptr);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), windowsBefore);
    EXPECT_EQ(main.findChild<AssistantCharacter*>(), nullptr);
    EXPECT_EQ(LoadAssistantCharacter(nullptr), nullptr);
}

TEST(AssistantLoader, SwitchReadsOnlyMeaningfulValues)
{
    {
        EnvironmentSwitch unset{QByteArray()};
        EXPECT_FALSE(AssistantDisabledByEnvironment());
    }
    {
        EnvironmentSwitch zero("0");
        EXPECT_FALSE(AssistantDisabledByEnvironment());
    }
    {
        EnvironmentSwitch yes("yes");
        EXPECT_TRUE(AssistantDisabledByEnvironment());
    }
    EnvironmentSwitch on{QByteArray()};
    EXPECT_EQ(LoadAssistantCharacter(nullptr), nullptr);
}

TEST(AssistantCharacter, CanCutItsWindowToTheFigure)
{
    FakeClock clock;
    AssistantCharacter character(nullptr, clock.Function());
    character.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&character));
    EXPECT_FALSE(character.ShapesToFigure()); // offscreen honours transparency
    EXPECT_TRUE(character.mask().isEmpty());

    character.SetShapesToFigure(true);
    const QRegion idle = character.mask();
    const QPoint belly(character.width() / 2, character.height() * 3 / 4);
    EXPECT_TRUE(idle.contains(belly));
    EXPECT_FALSE(idle.contains(QPoint(0, 0)));
    EXPECT_FALSE(idle.contains(QPoint(character.width() - 1, character.height() - 1)));

    // The shape follows the pose: a question mark appears beside the head.
    character.Play("Confused");
    clock.now += AnimationDurationMs(Animation::Confused) / 2;
    character.Tick();
    EXPECT_NE(character.mask(), idle);
    EXPECT_GT((character.mask() - idle).rectCount(), 0);

    character.SetShapesToFigure(false);
    EXPECT_TRUE(character.mask().isEmpty());
}
