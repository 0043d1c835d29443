// TTextStream: writes UTF-16 text to a file in a chosen byte encoding, with
// a byte-order mark when the encoding is chosen at the very start, and CR LF
// line ends. Opening a file that has content works out its encoding from a
// byte-order mark or from the bytes themselves. It writes only.
//
// The failure list of a rename run is written as:
//   auto list = TTextStream::Create(name, TFileStream::ModeCreate);
//   list->SetEncoding(TEncoding::Utf8);
//   list->WriteLine(heading); ... list->WriteLine(line);
//   list->Close(); // raises when the last bytes do not reach the file
#pragma once

#include "base/String.h"
#include "plugin/BufferedStream.h"

#include <cstdint>
#include <memory>

namespace Zelvane {

using Base::String;

// Codes 5 and above are invalid: writing in them raises EWriteError "Invalid encoding".
enum class TEncoding : uint8_t {
    None = 0,  // not chosen yet: the first write chooses the default encoding
    Ansi = 1,  // the system's ANSI code page
    Oem = 2,   // the ANSI bytes converted to the OEM code page
    Utf16 = 3, // UTF-16 code units, little-endian unless detected big-endian; mark FF FE
    Utf8 = 4,  // mark EF BB BF
};

class TTextStream : public TBufferedStream {
public:
    // Opens `fileName` with the file stream's mode word (ModeCreate makes a
    // new, empty file); the file stream's creation error propagates.
    static std::unique_ptr<TTextStream> Create(const String& fileName, uint16_t mode)
    {
        return TBufferedStream::Create<TTextStream>(fileName, mode);
    }

    TTextStream(TCreateKey key, const String& fileName, uint16_t mode);

    // At position 0, Utf16 writes FF FE (and chooses little-endian) and Utf8
    // writes EF BB BF; otherwise no mark. Always makes `encoding` current.
    void SetEncoding(TEncoding encoding);
    // An empty text writes nothing, not even a mark. Conversion failures
    // raise EStringError and write nothing of the text.
    void WriteString(const String& text);
    // The text, then the line break.
    void WriteLine(const String& text);
    // Settles the encoding of the file's content and moves past its mark
    // (see AfterOpen); otherwise the position stays where it was.
    void DetectEncoding();

    TEncoding GetEncoding() const { return Encoding; }
    bool IsBigEndian() const { return BigEndian; }
    TEncoding GetDefaultEncoding() const { return DefaultEncoding; }
    void SetDefaultEncoding(TEncoding encoding) { DefaultEncoding = encoding; }
    const String& GetLineBreak() const { return LineBreak; }
    void SetLineBreak(const String& lineBreak) { LineBreak = lineBreak; }

protected:
    // Default encoding UTF-8, nothing chosen, CR LF; a file with content has
    // its encoding detected.
    void AfterOpen() override;

private:
    // Detection proper; returns where the text starts (`from` without a mark).
    int64_t DetectFrom(int64_t from);

    TEncoding DefaultEncoding = TEncoding::Utf8;
    TEncoding Encoding = TEncoding::None;
    bool BigEndian = false;
    String LineBreak = u"\r\n";
};

} // namespace Zelvane
