#pragma once
// INI text read as the Windows private-profile service reads it, and changed
// the way Windows changes it: in place, byte for byte, never re-serialised.
// Names and values go in and come out in UTF-8; the file keeps its own
// encoding (code page 932, UTF-8 with or without a byte-order mark, or
// UTF-16LE with one), a code page 932 file until a value needs more than
// code page 932.
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/shared_bytes.h"

namespace korvane {

// Values are taken into a 2048-byte buffer, so at most 2047 bytes come back:
// 2047 units (common/text.h) of UTF-8 text.
inline constexpr std::size_t kIniValueLimit = 2047;

class IniDocument {
 public:
  IniDocument();                          // an empty (new) file
  explicit IniDocument(std::string bytes);  // a file's raw bytes
  IniDocument(IniDocument&&) noexcept;
  IniDocument& operator=(IniDocument&&) noexcept;
  ~IniDocument();

  // A file opening with FF FE is UTF-16LE: read as Unicode and changed in
  // UTF-16LE, every other byte kept; a Set that would not change an entry's
  // value leaves its line as it is. A file opening with EF BB BF, or one
  // without a mark that holds more than ASCII and is well-formed UTF-8, is
  // UTF-8: read and changed in UTF-8, the mark kept. Any other file is code page 932: values
  // are converted as they are read and spliced as code page 932 bytes while
  // they fit it; the first Set of a name or value that does not fit makes
  // the whole document UTF-16LE with a byte-order mark (every line kept,
  // converted) before it is spliced. False when a code page 932 file holds
  // more than ASCII and the system has no converter for it (treated as an
  // unreadable file by the callers): Get then gives the default and Set
  // changes nothing.
  bool Readable() const;

  // The value of key in section, or def when the section, the key or its
  // '=' is missing. Windows rules: names matched without case (ASCII
  // letters in single-byte positions), first section and first key win,
  // value trimmed, one pair of enclosing quotes removed, cut to 2047 bytes
  // of a code page 932 file without splitting a double-byte character (2047
  // units of a UTF-16 file, never splitting a character). The default loses
  // trailing spaces only. Section and key lose leading and trailing spaces
  // only.
  std::string Get(std::string_view section, std::string_view key, std::string_view def = "") const;

 private:
  struct Impl;

 public:
  // A section looked up once for reading several of its keys: Get(key, def)
  // answers as Get(section, key, def) does. Valid while the document is
  // neither changed nor moved.
  class SectionReader {
   public:
    std::string Get(std::string_view key, std::string_view def = "") const;

   private:
    friend class IniDocument;
    // Index of the entry of key, or none.
    std::size_t Find(std::string_view key) const;
    SectionReader(const Impl* impl, std::size_t index) : impl_(impl), index_(index) {}
    const Impl* impl_;   // null when there is no such section
    std::size_t index_;
  };
  SectionReader ReadSection(std::string_view section) const;

  // Sets key in section: an existing key's value is replaced on its line,
  // a new key goes after the section's last non-blank line, a new section is
  // appended at the end. A value that would not read back identically is
  // written in quotes; values are cut like reads. Afterwards Get(section,
  // key) gives ValueAfterSet(value).
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // What Get answers after Set(.., value): the value up to its first NUL,
  // without CR and LF bytes (a value never spans lines), bytes that are no
  // well-formed UTF-8 replaced by U+FFFD, cut to 2047 units without
  // splitting a character.
  static std::string ValueAfterSet(std::string_view value);

  // The file's bytes as they stand after the changes.
  const std::string& Bytes() const;

  // Moves the bytes out; the document is left empty (a new file).
  std::string TakeBytes();

 private:
  friend class IniValues;
  std::unique_ptr<Impl> impl_;
};

// The values of a few keys in a few sections of a file, read in one pass
// over its bytes without the index a document builds: Value(i, k) is what
// IniDocument(bytes).Get(sections[i], keys[k]) answers. The names are
// printable ASCII without a space at either end; no two sections, and no
// two keys, have the same name.
class IniValues {
 public:
  // head: bytes kept free before the values in the buffer they are
  // converted into (TakeBuffer).
  IniValues(std::string bytes, std::span<const std::string> sections, std::span<const std::string_view> keys,
            std::size_t head = 0);

  // As IniDocument::Readable; the values of an unreadable file are empty.
  bool Readable() const { return readable_; }
  std::string_view Value(std::size_t section, std::size_t key) const;
  // The end of each value after the head (the values lie one after
  // another), in Value's order; empty when unreadable.
  std::span<const std::size_t> Ends() const { return ends_; }
  // The buffer: head bytes, then the values, then room unused. Value
  // answers nothing after; Ends stays.
  SharedBytes TakeBuffer() { return std::move(text_); }

 private:
  SharedBytes text_;                 // head_ bytes, then the values one after another
  std::vector<std::size_t> ends_;    // the end of value (i, k) at i * keys_ + k; none unreadable
  std::size_t keys_ = 0;
  std::size_t head_ = 0;
  bool readable_ = true;
};

}  // namespace korvane
