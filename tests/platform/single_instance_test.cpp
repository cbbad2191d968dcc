#include "platform/single_instance.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "scoped_env.h"

using namespace quillon::platform;

namespace {

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_env.set("XDG_RUNTIME_DIR", m_dir.path().toStdString());
    }
    static bool readable(int fd) {
        pollfd item{fd, POLLIN, 0};
        return poll(&item, 1, 2000) == 1;
    }
    std::string socketPath() const {
        return m_dir.path().toStdString() + "/QuillonTest-" + std::to_string(getuid()) + ".sock";
    }

    QTemporaryDir m_dir;
    quillon::test::ScopedEnv m_env;
};

TEST_F(SingleInstanceTest, SecondInstanceRaisesTheFirst) {
    auto first = createSingleInstance("QuillonTest");
    auto second = createSingleInstance("QuillonTest");
    EXPECT_FALSE(second->raiseFirstInstance()); // nobody holds it yet
    ASSERT_TRUE(first->acquire());
    EXPECT_FALSE(second->acquire());
    ASSERT_GE(first->raiseRequestDescriptor(), 0);

    EXPECT_TRUE(second->raiseFirstInstance());
    EXPECT_TRUE(second->raiseFirstInstance());
    ASSERT_TRUE(readable(first->raiseRequestDescriptor()));
    int raised = 0;
    first->takeRaiseRequests([&raised] { ++raised; });
    EXPECT_EQ(raised, 2);
    first->takeRaiseRequests([&raised] { ++raised; });
    EXPECT_EQ(raised, 2);

    // Another name is another lock.
    EXPECT_TRUE(createSingleInstance("OtherTest")->acquire());

    first.reset();
    EXPECT_FALSE(second->raiseFirstInstance());
    EXPECT_TRUE(second->acquire());
}

TEST_F(SingleInstanceTest, StaleSocketOfACrashedHolderIsReplaced) {
    // A socket file nobody listens on, as a killed holder leaves it.
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath().c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);

    auto later = createSingleInstance("QuillonTest");
    EXPECT_FALSE(later->raiseFirstInstance());
    ASSERT_TRUE(later->acquire());
    EXPECT_TRUE(createSingleInstance("QuillonTest")->raiseFirstInstance());
    ASSERT_TRUE(readable(later->raiseRequestDescriptor()));
}

TEST_F(SingleInstanceTest, LockIsSeenByAnotherProcess) {
    auto first = createSingleInstance("QuillonTest");
    ASSERT_TRUE(first->acquire());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto second = createSingleInstance("QuillonTest");
        const bool ok = !second->acquire() && second->raiseFirstInstance();
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(readable(first->raiseRequestDescriptor()));
    int raised = 0;
    first->takeRaiseRequests([&raised] { ++raised; });
    EXPECT_EQ(raised, 1);
}

} // namespace
