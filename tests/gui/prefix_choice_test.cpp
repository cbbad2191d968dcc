// The desktop program started from the menu: which Wine prefix's Total Commander it takes.
#include <QFile>

#include <gtest/gtest.h>

#include "app/system.h"
#include "gui_fixture.h"
#include "platform/fake_prefix.h"
#include "prefix_choice.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class PrefixChoiceTest : public test::GuiCoreTest {};

TEST_F(PrefixChoiceTest, AnotherManagersInstallationOnlyWhenTheOneInUseHasNoneOrWasChosen) {
    const QString bottle = m_root.path() + u"/home/.local/share/bottles/bottles/tc"_s;
    ASSERT_TRUE(test::copyTree(prefix, bottle));
    const QString withTc = prefix;
    const QString empty = m_root.path() + u"/empty"_s;
    ASSERT_TRUE(test::makeFakePrefix(empty));
    const struct {
        const char* name;
        QString inUse, option, remembered, expected;
    } cases[] = {
        {"the prefix in use holds none: the other one is taken", empty, {}, {}, bottle},
        {"the prefix in use holds one: it stays", withTc, {}, {}, {}},
        {"the one chosen before wins over the usual prefix", withTc, {}, bottle, bottle},
        {"a prefix named on the command line wins", empty, empty, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prefix = c.inUse;
        QFile::remove(settingsDir + u"/Quillon.ini"_s);
        if (!c.remembered.isEmpty()) {
            ASSERT_TRUE(test::writeFile(settingsDir + u"/Quillon.ini"_s,
                                        "[WinePrefixes]\nChosen=" + c.remembered.toUtf8() + "\n"));
        }
        const auto core = start();
        const auto chosen = ui::chooseTcInstallation(
            {core->language(), core->system().platform(), core->stores().settings, core->tc().dir}, c.option,
            false);
        EXPECT_EQ(chosen ? chosen->prefix : QString(), c.expected);
        if (!chosen)
            continue;
        // Kept for the next start, where the usual prefix may hold one again.
        RememberTcInstallation(core->stores().settings, *chosen);
        ASSERT_TRUE(core->shutDown());
        QFile settings(settingsDir + u"/Quillon.ini"_s);
        ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
        EXPECT_TRUE(settings.readAll().contains(QByteArray("Chosen=" + bottle.toUtf8())));
    }
}

} // namespace
} // namespace quillon
