// The full-screen help window: Far's look, scrolling under the fixed lines,
// choosing and following links, going back, closing.
#include "host/text/HelpFile.h"
#include "host/text/HostText.h"
#include "host/views/HelpView.h"
#include "host/views/Palette.h"

#include <gtest/gtest.h>

using namespace Host;

namespace {

std::string Row(const ScreenBuffer& screen, int y)
{
    return screen.Text().at(static_cast<size_t>(y));
}

// The glyphs of `count` cells of a row from column x, as UTF-8.
std::string Cells(const ScreenBuffer& screen, int y, int x, int count)
{
    std::u16string text;
    for (int i = x; i < x + count; ++i)
        text += screen.At(i, y).Text;
    return Utf16ToUtf8(text);
}

bool Colored(const ScreenBuffer& screen, int x, int y, uint8_t foreground, uint8_t background)
{
    return SameColor(screen.At(x, y).Color, ConsoleColor(foreground, background));
}

// Contents: a fixed line, then 30 lines with a link on line 2 and line 25.
HelpFile Sample()
{
    std::string text = ".Language=English,English\n.PluginContents=Sample\n@Contents\n$ #Fixed title#\n";
    for (int i = 0; i < 30; ++i) {
        text += " line " + std::to_string(i);
        if (i == 2)
            text += " ~first~@Other@";
        if (i == 25)
            text += " ~second~@Third@";
        text += "\n";
    }
    text += "@Other\n$ #Other#\n^back\n@Third\n third\n";
    std::optional<HelpFile> help = ParseHelpFile(text);
    EXPECT_TRUE(help);
    return help ? *help : HelpFile{};
}

TEST(HelpView, ScrollsUnderTheFixedLinesAndFollowsLinks)
{
    const HelpFile help = Sample();
    ASSERT_EQ(help.Topics.size(), 3u);
    HelpView view(help, help.Topics[0]);
    ScreenBuffer screen(60, 12, Palette::Console());
    view.Paint(screen);
    // Frame and title, the fixed line, its rule, the text, the key bar.
    EXPECT_EQ(Cells(screen, 0, 0, 3), "╔══");
    EXPECT_EQ(Cells(screen, 0, 22, 15), " Help - Sample ");
    EXPECT_EQ(Cells(screen, 0, 59, 1), "╗");
    EXPECT_EQ(Cells(screen, 1, 0, 14), "║  Fixed title");
    EXPECT_EQ(Cells(screen, 2, 0, 3), "╟──");
    EXPECT_EQ(Cells(screen, 2, 59, 1), "╢");
    EXPECT_EQ(Cells(screen, 3, 0, 9), "║  line 0");
    EXPECT_EQ(Cells(screen, 10, 0, 3), "╚══");
    EXPECT_NE(Row(screen, 11).find("10Quit"), std::string::npos);
    // Bold white, plain black, the first link in view chosen: white on black.
    EXPECT_TRUE(Colored(screen, 3, 1, Palette::White, Palette::Cyan));
    EXPECT_TRUE(Colored(screen, 3, 3, Palette::Black, Palette::Cyan));
    EXPECT_EQ(Cells(screen, 5, 10, 5), "first");
    EXPECT_TRUE(Colored(screen, 10, 5, Palette::White, Palette::Black));

    // Seven rows of text scroll; the fixed line stays.
    EXPECT_TRUE(view.Key(ParseKeyScript("<Down>").front()));
    view.Paint(screen);
    EXPECT_EQ(view.FirstLine(), 1u);
    EXPECT_EQ(Cells(screen, 1, 0, 14), "║  Fixed title");
    EXPECT_EQ(Cells(screen, 3, 0, 9), "║  line 1");
    EXPECT_TRUE(view.Key(ParseKeyScript("<End>").front()));
    view.Paint(screen);
    EXPECT_EQ(view.FirstLine(), 23u);
    EXPECT_TRUE(view.Key(ParseKeyScript("<Home>").front()));
    view.Paint(screen);
    EXPECT_EQ(view.FirstLine(), 0u);

    // Tab brings the second link into view; Enter follows it; Backspace
    // comes back to where the user was; Shift+Tab wraps round.
    EXPECT_TRUE(view.Key(ParseKeyScript("<Tab>").front()));
    view.Paint(screen);
    EXPECT_EQ(view.FirstLine(), 19u);
    EXPECT_TRUE(view.Key(ParseKeyScript("<Enter>").front()));
    view.Paint(screen);
    EXPECT_EQ(view.Topic().Name, u"Third");
    EXPECT_EQ(Cells(screen, 1, 0, 8), "║  third");
    EXPECT_TRUE(view.Key(ParseKeyScript("<BS>").front()));
    view.Paint(screen);
    EXPECT_EQ(view.Topic().Name, u"Contents");
    EXPECT_EQ(view.FirstLine(), 19u);
    EXPECT_TRUE(view.Key(ParseKeyScript("<Shift+Tab>").front()));
    EXPECT_TRUE(view.Key(ParseKeyScript("<Enter>").front()));
    view.Paint(screen);
    EXPECT_EQ(view.Topic().Name, u"Other");
    // A centred line: in the middle of the columns inside the margins.
    EXPECT_EQ(Cells(screen, 3, 28, 4), "back");

    EXPECT_FALSE(view.Key(ParseKeyScript("<Esc>").front()));
    EXPECT_FALSE(view.Key(ParseKeyScript("<F10>").front()));
}

} // namespace
