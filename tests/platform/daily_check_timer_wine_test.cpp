#include "platform/daily_check_timer.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/test_support.h"

using namespace quillon;
using platform::DailyCheckTimer;

namespace {

// A stand-in for systemctl: keeps the timer's state in a file beside it and logs its arguments;
// "nobus" in that file plays a session without a user manager, "stuck" one that hangs on a switch.
class FakeSystemctl {
public:
    FakeSystemctl() {
        const QByteArray state = dir.filePath(QStringLiteral("state")).toLocal8Bit();
        const QByteArray log = dir.filePath(QStringLiteral("log")).toLocal8Bit();
        const QByteArray script = "#!/bin/sh\necho \"$*\" >>'" + log + "'\nstate=$(cat '" + state +
                                  "')\n"
                                  "if [ \"$state\" = nobus ]; then echo 'Failed to connect to bus: No medium "
                                  "found' >&2; exit 1; fi\n"
                                  "case \"$2\" in\n"
                                  "is-enabled) echo \"$state\"; [ \"$state\" = enabled ]; exit $? ;;\n"
                                  "enable) [ \"$state\" = stuck ] && exec sleep 30; echo enabled >'" +
                                  state +
                                  "' ;;\n"
                                  "disable) echo disabled >'" +
                                  state +
                                  "' ;;\n"
                                  "esac\n";
        program = dir.filePath(QStringLiteral("systemctl"));
        test::writeFile(program, script);
        QFile::setPermissions(program,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        setState("disabled");
    }
    void setState(const QByteArray& state) {
        test::writeFile(dir.filePath(QStringLiteral("state")), state + '\n');
    }
    QByteArray log() const { return test::readFile(dir.filePath(QStringLiteral("log"))); }

    QTemporaryDir dir;
    QString program;
};

TEST(DailyCheckTimer, SwitchesTheUserTimerAndReadsItBack) {
    FakeSystemctl systemctl;
    const DailyCheckTimer timer(systemctl.program.toStdString());
    EXPECT_TRUE(timer.state().known);
    EXPECT_FALSE(timer.state().enabled);
    const auto on = timer.setEnabled(true);
    EXPECT_TRUE(on.known && on.enabled) << on.error;
    EXPECT_TRUE(on.error.empty()) << on.error;
    const auto off = timer.setEnabled(false);
    EXPECT_TRUE(off.known && !off.enabled) << off.error;
    EXPECT_TRUE(systemctl.log().contains("--user enable --now quillon-check.timer"));
    EXPECT_TRUE(systemctl.log().contains("--user disable --now quillon-check.timer"));
}

TEST(DailyCheckTimer, NoUserManagerIsAnErrorNeverASuccess) {
    FakeSystemctl systemctl;
    systemctl.setState("nobus");
    const DailyCheckTimer timer(systemctl.program.toStdString());
    EXPECT_FALSE(timer.state().known);
    EXPECT_NE(timer.state().error.find("Failed to connect to bus"), std::string::npos);
    const auto on = timer.setEnabled(true);
    EXPECT_FALSE(on.enabled);
    EXPECT_NE(on.error.find("Failed to connect to bus"), std::string::npos) << on.error;

    systemctl.setState("not-found");
    EXPECT_NE(timer.state().error.find("not installed"), std::string::npos);
}

TEST(DailyCheckTimer, AMissingOrHangingSystemctlEndsWithinTheLimit) {
    const DailyCheckTimer missing("/nonexistent/systemctl");
    EXPECT_FALSE(missing.setEnabled(true).error.empty());
    FakeSystemctl systemctl;
    systemctl.setState("stuck");
    const DailyCheckTimer slow(systemctl.program.toStdString(), std::chrono::milliseconds(300));
    const auto on = slow.setEnabled(true);
    EXPECT_FALSE(on.enabled);
    EXPECT_NE(on.error.find("did not answer"), std::string::npos) << on.error;
}

} // namespace
