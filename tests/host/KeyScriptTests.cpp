#include "far3/FarKeysW.h"
#include "host/app/HostError.h"
#include "host/text/KeyScript.h"

#include <gtest/gtest.h>

using namespace Host;

namespace {

namespace Vk = Far3::VirtualKey;
namespace Ck = Far3::ControlKey;

TEST(KeyScript, ReadsCharactersNamesAndModifiers)
{
    struct Case {
        const char* Script;
        std::vector<KeyPress> Keys;
    };
    const Case cases[] = {
        {"a1", {{'A', u'a', 0}, {'1', u'1', 0}}},
        {"B", {{'B', u'B', Ck::Shift}}},
        {"<Enter><esc>", {{Vk::Return, u'\r', 0}, {Vk::Escape, 0x1B, 0}}},
        {"<Shift+Tab>", {{Vk::Tab, u'\t', Ck::Shift}}},
        {"<Alt+f>", {{'F', 0, Ck::LeftAlt}}},
        {"<A-x>", {{'X', 0, Ck::LeftAlt}}},
        {"<Ctrl+Down>", {{Vk::Down, 0, Ck::LeftCtrl | Ck::Enhanced}}},
        {"<lt>", {{0, u'<', 0}}},
        {"<F10><Num+>", {{Vk::F10, 0, 0}, {Vk::Add, u'+', 0}}},
        {"é", {{0, u'é', 0}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseKeyScript(c.Script), c.Keys) << c.Script;

    EXPECT_THROW(ParseKeyScript("<Nonsense>"), HostError);
    EXPECT_THROW(ParseKeyScript("<Enter"), HostError);
}

TEST(KeyScript, NamesRoundTrip)
{
    for (const char* script : {"<Enter>", "<Alt+F>", "<Shift+Tab>", "<Ctrl+Down>", "x", "<lt>", "<F3>"})
        EXPECT_EQ(ParseKeyScript(KeyName(ParseKeyScript(script).front())), ParseKeyScript(script)) << script;
}

} // namespace
