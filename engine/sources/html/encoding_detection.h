#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "engine/interfaces/file_streams.h"
#include "engine/text/text_encoding.h"

namespace velkora {

// Decides a file's encoding from its bytes, handed over in order in windows. A byte order
// mark decides; otherwise the file is UTF-8 when the first <META> tag that declares a
// charset declares charset=utf-8 and
// either every byte is valid UTF-8 or no "<LI>" appears; otherwise it is in the ANSI code
// page.
class EncodingDetector {
 public:
  // deferValidation: bytes beyond ASCII before the first "<LI>" are passed over without
  // checking that they are UTF-8, which matters only for a file that declares UTF-8 and
  // holds "<LI>"; Certain() then tells whether such bytes were passed over.
  explicit EncodingDetector(bool deferValidation = false) : deferValidation_(deferValidation) {}

  // Longest look-ahead a decision at one byte needs; Scan leaves at most this many bytes.
  static constexpr std::size_t kLookAhead = 15;

  // Examines window, which continues where the bytes Scan left last time begin; final
  // when window reaches the end of the file. Returns how many bytes of window it is done
  // with: the rest, too few to decide on, must start the next window.
  std::size_t Scan(std::string_view window, bool final);

  // True when the rest of the file cannot change the decision.
  bool Decided() const;

  TextEncoding Encoding() const;
  // False when Encoding() depends on bytes passed over unchecked: they must be checked by a
  // detector that does not defer.
  bool Certain() const;
  // False when no byte examined so far starts "<LI>" and every one was looked at for it
  // (after a byte order mark none is).
  bool MayHoldItem() const { return hasMark_ || hasItem_; }

 private:
  bool CheckByteOrderMark(std::string_view window, bool final, std::size_t& consumed);
  // Whether bytes beyond ASCII are checked to be UTF-8 now.
  bool Validating() const;
  // Where the next byte from at on stands that can change what the detector knows.
  std::size_t SkipPlainText(std::string_view window, std::size_t at);
  // Each examines the byte at at and returns where to go on, or at itself when the window
  // holds too few bytes to decide on.
  std::size_t ExamineNonAscii(std::string_view window, std::size_t at, bool final);
  std::size_t ExamineAscii(std::string_view window, std::size_t at, bool final);

  const bool deferValidation_;
  bool unchecked_ = false;
  bool started_ = false;
  bool hasMark_ = false;
  TextEncoding markEncoding_ = TextEncoding::kAnsiCodePage;
  bool inMeta_ = false;
  // A <META> tag declared a charset; declaresUtf8_: and that charset is UTF-8.
  bool declaredCharset_ = false;
  bool declaresUtf8_ = false;
  bool hasItem_ = false;
  bool invalidUtf8_ = false;
};

// An input stream that shows every byte it reads to an EncodingDetector on the way, so that
// a file's encoding is known once it has been read through, without a reading of its own.
class DetectingInputStream final : public InputStream {
 public:
  // deferValidation as for EncodingDetector.
  explicit DetectingInputStream(std::unique_ptr<InputStream> stream, bool deferValidation = false);

  // Reads the start of the file ahead of the reader, so that Encoding() tells what the
  // file's start says before anything is read through this stream.
  IoResult ReadAhead();
  IoResult Read(char* buffer, std::size_t capacity, std::size_t& received) override;

  // The encoding of the bytes read so far, as if the file ended there; that of the whole
  // file once Read has given the end.
  TextEncoding Encoding() const { return detector_.Encoding(); }
  bool Certain() const { return detector_.Certain(); }
  bool MayHoldItem() const { return detector_.MayHoldItem(); }
  // The bytes ReadAhead read: the start of the file.
  std::string_view Start() const { return ahead_; }

 private:
  void Examine(std::string_view bytes, bool final);

  std::unique_ptr<InputStream> stream_;
  EncodingDetector detector_;
  // Bytes read ahead, handed on from aheadTaken_ on.
  std::string ahead_;
  std::size_t aheadTaken_ = 0;
  // Bytes the detector was not done with: its next window starts with them.
  std::string pending_;
};

}  // namespace velkora
