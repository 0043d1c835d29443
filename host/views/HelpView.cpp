#include "host/views/HelpView.h"

#include "far3/FarKeysW.h"
#include "host/views/KeyBar.h"
#include "host/views/Palette.h"
#include "host/console/TextWidth.h"

#include <algorithm>

namespace Host {

namespace {

namespace Vk = Far3::VirtualKey;

// Far's help colours: black on cyan, bold white, links yellow, the chosen
// link white on black.
Far3::FarColor HelpText() { return ConsoleColor(Palette::Black, Palette::Cyan); }
Far3::FarColor HelpBold() { return ConsoleColor(Palette::White, Palette::Cyan); }
Far3::FarColor HelpLink() { return ConsoleColor(Palette::Yellow, Palette::Cyan); }
Far3::FarColor HelpChosenLink() { return ConsoleColor(Palette::White, Palette::Black); }

// Text starts one column in from the frame's inner edge.
constexpr int Margin = 2;

Far3::FarColor SpanColor(const HelpSpan& span, bool chosen)
{
    switch (span.Look) {
    case HelpSpan::Kind::Bold: return HelpBold();
    case HelpSpan::Kind::Link: return chosen ? HelpChosenLink() : HelpLink();
    case HelpSpan::Kind::Plain: break;
    }
    return HelpText();
}

// One line from column `left`, clipped before column `limit`; `chosenSpan`
// is the span of the chosen link, if it is on this line.
void PaintLine(ScreenBuffer& screen, int y, int left, int limit, const HelpLine& line, size_t chosenSpan)
{
    int x = left;
    if (line.Centred)
        x = std::max(left, left + (limit - left - DisplayWidth(line.Text())) / 2);
    for (size_t i = 0; i < line.Spans.size(); ++i)
        x = screen.Write(x, y, line.Spans[i].Text, SpanColor(line.Spans[i], i == chosenSpan), limit);
}

} // namespace

HelpView::HelpView(const HelpFile& help, const HelpTopic& topic) : Help(help), Shown(&topic)
{
    Open(topic);
}

void HelpView::Open(const HelpTopic& topic)
{
    Shown = &topic;
    Links.clear();
    for (size_t line = 0; line < topic.Body.size(); ++line)
        for (size_t span = 0; span < topic.Body[line].Spans.size(); ++span)
            if (topic.Body[line].Spans[span].Look == HelpSpan::Kind::Link)
                Links.push_back({line, span});
    Top = 0;
    // The first link in view is chosen, as in Far.
    Chosen = !Links.empty() && InView(Links.front().Line) ? 0 : Links.size();
}

void HelpView::ChooseLink(int direction)
{
    if (Links.empty())
        return;
    if (Chosen == Links.size())
        Chosen = direction > 0 ? 0 : Links.size() - 1;
    else
        Chosen = (Chosen + Links.size() + static_cast<size_t>(direction)) % Links.size();
    const size_t line = Links[Chosen].Line;
    if (!InView(line))
        Top = line < Top ? line : line + 1 - Rows;
}

void HelpView::Clamp()
{
    const size_t lines = Shown->Body.size();
    Top = std::min(Top, lines > Rows ? lines - Rows : 0);
    if (Chosen < Links.size() && InView(Links[Chosen].Line))
        return;
    // The chosen link has scrolled away: the first one in view is chosen.
    Chosen = Links.size();
    for (size_t i = 0; i < Links.size() && Chosen == Links.size(); ++i)
        if (InView(Links[i].Line))
            Chosen = i;
}

bool HelpView::Key(const KeyPress& key)
{
    const size_t page = std::max<size_t>(1, Rows - 1);
    switch (key.VirtualKey) {
    case Vk::Escape:
    case Vk::F10:
        return false;
    case Vk::Up:
        Top = Top > 0 ? Top - 1 : 0;
        break;
    case Vk::Down:
        ++Top;
        break;
    case Vk::Prior:
        Top = Top > page ? Top - page : 0;
        break;
    case Vk::Next:
        Top += page;
        break;
    case Vk::Home:
        Top = 0;
        break;
    case Vk::End:
        Top = Shown->Body.size();
        break;
    case Vk::Tab:
        ChooseLink(key.Shift() ? -1 : 1);
        return true;
    case Vk::Return:
        if (Chosen < Links.size()) {
            const HelpSpan& link = Shown->Body[Links[Chosen].Line].Spans[Links[Chosen].Span];
            if (const HelpTopic* next = Help.Find(link.Target)) {
                History.push_back({Shown, Top, Chosen});
                Open(*next);
            }
        }
        return true;
    case Vk::Back:
        if (!History.empty()) {
            const Place back = History.back();
            History.pop_back();
            Open(*back.Topic);
            Top = back.Top;
            Chosen = back.Chosen;
        }
        return true;
    default:
        return true;
    }
    Clamp();
    return true;
}

void HelpView::Paint(ScreenBuffer& screen)
{
    const int width = screen.Width();
    const int height = screen.Height();
    // The frame takes every row but the key bar's.
    const int bottom = std::max(1, height - 2);
    const int right = std::max(1, width - 1);
    screen.Fill(0, 0, right, bottom, u' ', HelpText());
    for (int x = 1; x < right; ++x) {
        screen.Write(x, 0, u"═", HelpText());
        screen.Write(x, bottom, u"═", HelpText());
    }
    for (int y = 1; y < bottom; ++y) {
        screen.Write(0, y, u"║", HelpText());
        screen.Write(right, y, u"║", HelpText());
    }
    screen.Write(0, 0, u"╔", HelpText());
    screen.Write(right, 0, u"╗", HelpText());
    screen.Write(0, bottom, u"╚", HelpText());
    screen.Write(right, bottom, u"╝", HelpText());
    const std::u16string title = u" Help - " + (Help.ContentsTitle.empty() ? Shown->Name : Help.ContentsTitle) + u" ";
    const std::u16string fitted = FitWidth(title, std::max(0, right - 3), u'}');
    screen.Write(std::max(1, (width - DisplayWidth(fitted)) / 2), 0, fitted, HelpText());

    const int limit = right - 1;
    int y = 1;
    for (const HelpLine& line : Shown->Header) {
        if (y >= bottom)
            break;
        PaintLine(screen, y++, Margin, limit, line, line.Spans.size());
    }
    if (!Shown->Header.empty() && y < bottom) {
        for (int x = 1; x < right; ++x)
            screen.Write(x, y, u"─", HelpText());
        screen.Write(0, y, u"╟", HelpText());
        screen.Write(right, y, u"╢", HelpText());
        ++y;
    }

    Rows = static_cast<size_t>(std::max(1, bottom - y));
    Clamp();
    for (size_t row = 0; row < Rows && Top + row < Shown->Body.size(); ++row) {
        const size_t index = Top + row;
        const bool chosenHere = Chosen < Links.size() && Links[Chosen].Line == index;
        PaintLine(screen, y + static_cast<int>(row), Margin, limit, Shown->Body[index],
                  chosenHere ? Links[Chosen].Span : Shown->Body[index].Spans.size());
    }

    KeyLabels labels;
    labels[9] = u"Quit";
    PaintKeyBar(screen, height - 1, labels);
}

} // namespace Host
