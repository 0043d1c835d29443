#include "host/console/CursesConsole.h"

#include "base/Utf16.h"
#include "host/app/HostError.h"
#include "host/text/HostText.h"
#include "host/console/KeyDecoder.h"

#ifndef NCURSES_WIDECHAR
#define NCURSES_WIDECHAR 1
#endif
#include <curses.h>

#include <cerrno>
#include <cstdio>
#include <csignal>
#include <cstdlib>
#include <cwchar>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace Host {

namespace {

// The write end of the pipe the resize signal wakes the key reader with:
// a signal handler can reach nothing else.
volatile sig_atomic_t ResizePipe = -1;

void OnResize(int)
{
    const int saved = errno;
    if (ResizePipe >= 0) {
        const char byte = 'r';
        [[maybe_unused]] ssize_t written = write(ResizePipe, &byte, 1);
    }
    errno = saved;
}

// Mouse reports of button presses and releases and of moves while a button
// is held (to drag a dialog), in the SGR form, on and off.
constexpr const char* MouseOn = "\x1b[?1000h\x1b[?1002h\x1b[?1006h";
constexpr const char* MouseOff = "\x1b[?1006l\x1b[?1002l\x1b[?1000l";

// Bracketed paste, xterm's modifyOtherKeys and the kitty keyboard protocol
// (its "disambiguate" level), on and off. A terminal without one of them
// ignores its request; with it, keys such as Ctrl+Enter and Ctrl+BS arrive.
constexpr const char* ExtendedInputOn = "\x1b[?2004h\x1b[>4;1m\x1b[>1u";
constexpr const char* ExtendedInputOff = "\x1b[<u\x1b[>4m\x1b[?2004l";

std::string Base64(std::string_view bytes)
{
    static constexpr char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t group = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
        if (i + 1 < bytes.size())
            group |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
        if (i + 2 < bytes.size())
            group |= static_cast<unsigned char>(bytes[i + 2]);
        text += Digits[(group >> 18) & 63];
        text += Digits[(group >> 12) & 63];
        text += i + 1 < bytes.size() ? Digits[(group >> 6) & 63] : '=';
        text += i + 2 < bytes.size() ? Digits[group & 63] : '=';
    }
    return text;
}

std::wstring WideText(const std::u16string& text)
{
    std::wstring wide;
    for (size_t i = 0; i < text.size();) {
        const Base::Utf16Character decoded = Base::DecodeUtf16At(text, i);
        char32_t c = decoded.Char;
        i += decoded.Length;
        // Control characters in names would move the terminal's cursor.
        if (c < 0x20 || c == 0x7F)
            c = u'?';
        wide += static_cast<wchar_t>(c);
    }
    return wide;
}

} // namespace

CursesConsole::CursesConsole()
    : Input([this](int milliseconds, std::string& bytes) { return WaitForInput(milliseconds, bytes); })
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        throw HostError("Cannot set up the terminal: no pipe for resize signals");
    WakeRead = pipeEnds[0];
    WakeWrite = pipeEnds[1];
    fcntl(WakeRead, F_SETFL, O_NONBLOCK);
    fcntl(WakeWrite, F_SETFL, O_NONBLOCK);
    // An external editor run from here does not inherit the pipe.
    fcntl(WakeRead, F_SETFD, FD_CLOEXEC);
    fcntl(WakeWrite, F_SETFD, FD_CLOEXEC);
    ResizePipe = WakeWrite;
    // Installed before ncurses starts, so that it keeps ours.
    struct sigaction action{};
    action.sa_handler = OnResize;
    sigemptyset(&action.sa_mask);
    sigaction(SIGWINCH, &action, nullptr);

    Session = newterm(nullptr, stdout, stdin);
    if (!Session) {
        ResizePipe = -1;
        close(WakeRead);
        close(WakeWrite);
        const char* term = std::getenv("TERM");
        throw HostError(std::string("This terminal (TERM=") + (term ? term : "") +
                        ") cannot show the full-screen view; use --script for the line mode");
    }
    raw();
    noecho();
    nonl();
    // Sends the terminal's "keypad transmit" sequence: application mode.
    keypad(stdscr, TRUE);
    curs_set(0);
    putp(MouseOn);
    fputs(ExtendedInputOn, stdout);
    fflush(stdout);
    const char* noColor = std::getenv("NO_COLOR");
    const bool colorsWanted = !(noColor && *noColor);
    if (colorsWanted && has_colors() && start_color() == OK)
        Depth = ChooseColorDepth(COLORS, false);
    else
        Depth = ColorDepth::None;
}

void CursesConsole::OfferClipboard(std::u16string_view text)
{
    // OSC 52: terminals that keep a clipboard take the text; others ignore it.
    const std::string sequence = "\x1b]52;c;" + Base64(Utf16ToUtf8(text)) + "\x07";
    fputs(sequence.c_str(), stdout);
    fflush(stdout);
}

CursesConsole::~CursesConsole()
{
    curs_set(1);
    putp(MouseOff);
    fputs(ExtendedInputOff, stdout);
    fflush(stdout);
    endwin();
    delscreen(Session);
    signal(SIGWINCH, SIG_DFL);
    ResizePipe = -1;
    close(WakeRead);
    close(WakeWrite);
}

int CursesConsole::RunProgram(const std::string& command, const std::filesystem::path& file)
{
    curs_set(1);
    putp(MouseOff);
    fputs(ExtendedInputOff, stdout);
    fflush(stdout);
    endwin();
    const int status = RunWithFile(command, file);
    // Back to the modes set up at the start; everything is drawn anew.
    reset_prog_mode();
    // The keypad's application mode: the program may have left it.
    char* keypadOn = tigetstr("smkx");
    if (keypadOn && keypadOn != reinterpret_cast<char*>(-1))
        putp(keypadOn);
    putp(MouseOn);
    fputs(ExtendedInputOn, stdout);
    fflush(stdout);
    clearok(curscr, TRUE);
    return status;
}

ScreenSize CursesConsole::Size() const
{
    return ScreenSize{std::max(1, COLS), std::max(1, LINES)};
}

int CursesConsole::AttributesFor(const ScreenCell& cell, short& pair)
{
    const TerminalStyle style = StyleFor(cell.Color, Depth);
    int attributes = A_NORMAL;
    if (style.Bold)
        attributes |= A_BOLD;
    if (style.Reverse)
        attributes |= A_REVERSE;
    if (cell.Underline)
        attributes |= A_UNDERLINE;
    pair = 0;
    if (Depth != ColorDepth::None) {
        const auto key = std::make_pair(style.Foreground, style.Background);
        auto found = Pairs.find(key);
        if (found != Pairs.end()) {
            pair = found->second;
        } else if (static_cast<int>(Pairs.size()) + 1 < COLOR_PAIRS) {
            pair = static_cast<short>(Pairs.size() + 1);
            init_pair(pair, static_cast<short>(style.Foreground), static_cast<short>(style.Background));
            Pairs.emplace(key, pair);
        }
    }
    return attributes;
}

void CursesConsole::Show(const ScreenBuffer& screen, std::optional<CursorSpot> cursor)
{
    const int width = std::min(screen.Width(), COLS);
    const int height = std::min(screen.Height(), LINES);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const ScreenCell& cell = screen.At(x, y);
            if (cell.SecondHalf)
                continue;
            // A wide glyph in the last column, or with its second half
            // overwritten, cannot be shown whole.
            const bool cut = DisplayWidth(cell.Text) == 2 && (x + 1 >= width || !screen.At(x + 1, y).SecondHalf);
            std::wstring text = cut || cell.Text.empty() ? L" " : WideText(cell.Text);
            short pair = 0;
            const int attributes = AttributesFor(cell, pair);
            cchar_t character;
            // ncurses refuses a glyph whose first character has no width in
            // this locale (unassigned, or a lone surrogate) when marks follow
            // it; the cell then shows the replacement mark.
            if (setcchar(&character, text.c_str(), static_cast<attr_t>(attributes), pair, nullptr) == ERR)
                setcchar(&character, L"?", static_cast<attr_t>(attributes), pair, nullptr);
            mvwadd_wch(stdscr, y, x, &character);
        }
    }
    if (cursor && cursor->X >= 0 && cursor->Y >= 0 && cursor->X < width && cursor->Y < height) {
        curs_set(1);
        wmove(stdscr, cursor->Y, cursor->X);
    } else {
        curs_set(0);
    }
    wnoutrefresh(stdscr);
    doupdate();
}

void CursesConsole::ApplyResize()
{
    char drain[64];
    while (read(WakeRead, drain, sizeof drain) > 0) {
    }
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0)
        resizeterm(size.ws_row, size.ws_col);
    Resized = true;
}

TerminalInput::Arrival CursesConsole::WaitForInput(int milliseconds, std::string& bytes)
{
    for (;;) {
        pollfd watched[2] = {{STDIN_FILENO, POLLIN, 0}, {WakeRead, POLLIN, 0}};
        const int ready = poll(watched, 2, milliseconds);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0)
            return TerminalInput::Arrival::Ended;
        if (ready == 0)
            return TerminalInput::Arrival::Quiet;
        if (watched[1].revents & POLLIN) {
            ApplyResize();
            return TerminalInput::Arrival::Woken;
        }
        if (watched[0].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)) {
            char chunk[256];
            const ssize_t count = read(STDIN_FILENO, chunk, sizeof chunk);
            if (count > 0) {
                bytes.append(chunk, static_cast<size_t>(count));
                return TerminalInput::Arrival::Bytes;
            }
            if (count < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            return TerminalInput::Arrival::Ended;
        }
    }
}

std::optional<ConsoleEvent> CursesConsole::Poll()
{
    return Input.Next(false);
}

ConsoleEvent CursesConsole::Read()
{
    for (;;) {
        if (Resized) {
            Resized = false;
            return ConsoleEvent{ConsoleEvent::Kind::Resize, {}, 0, 0, {}, {}};
        }
        if (std::optional<ConsoleEvent> event = Input.Next())
            return *event;
    }
}

} // namespace Host
