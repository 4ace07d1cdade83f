#pragma once
// Writes sample records for the independent layout checker (tests/oracles/records_layout.py).
// Each field set through a sampler gets a value made from its name alone, by the same rule the
// checker uses; the sampler writes the record's bytes to <kind>.bin and the names it set to
// <kind>.fields. The checker finds each field at the offset and width the record tables give,
// and expects every byte outside the fields set to be zero. The sampler also reads every field
// it set back out of a byte copy of the record, as a record read from a file would be.
//
// Sample values, with h = sum of (position + 1) x character code over the name:
//   text of capacity N   the name followed by "~", repeated and cut to N characters
//   flag byte            h mod 255 + 1
//   int32                h x 2654435761 modulo 2^32, as a signed number

#include <gtest/gtest.h>

#include <QProcess>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "records/font_rec.h"
#include "records/record_fields.h"

namespace records_test {

inline uint32_t NameHash(std::string_view name) {
  uint32_t h = 0;
  for (std::size_t i = 0; i < name.size(); ++i)
    h += static_cast<uint32_t>(i + 1) * static_cast<uint8_t>(name[i]);
  return h;
}

inline std::string SampleText(std::string_view name, std::size_t capacity) {
  std::string text;
  while (text.size() < capacity) text += std::string(name) + "~";
  return text.substr(0, capacity);
}

inline int32_t SampleInt32(std::string_view name) {
  return static_cast<int32_t>(NameHash(name) * 2654435761u);
}
inline uint8_t SampleByte(std::string_view name) {
  return static_cast<uint8_t>(NameHash(name) % 255 + 1);
}

class Sampler {
 public:
  // record: the record whose fields are set through this sampler.
  explicit Sampler(const void* record) : record_(static_cast<const uint8_t*>(record)) {}

  template <std::size_t N>
  void Set(records::ShortString<N>& field, std::string_view name) {
    field.Set(SampleText(name, N));
    Remember(&field, name, N);
  }
  void Set(records::Int32Field& field, std::string_view name) {
    field.Set(SampleInt32(name));
    Remember(&field, name, IntField);
  }
  void Set(uint8_t& field, std::string_view name) {
    field = SampleByte(name);
    Remember(&field, name, ByteField);
  }
  void Set(records::FontRec& font, std::string_view name) {
    std::string prefix(name);
    Set(font.Name, prefix + ".Name");
    Set(font.Size, prefix + ".Size");
    Set(font.Color, prefix + ".Color");
    Set(font.Style, prefix + ".Style");
  }

  // Writes <kind>.bin and <kind>.fields into the current directory.
  template <typename Rec>
  void Write(const Rec& record, const std::string& kind) const {
    std::ofstream bin(kind + ".bin", std::ios::binary);
    bin.write(reinterpret_cast<const char*>(&record), sizeof record);
    std::ofstream fields(kind + ".fields");
    for (const std::string& name : names_) fields << name << "\n";
    ASSERT_TRUE(bin.good() && fields.good());
  }

  // Copies the record byte for byte into a fresh one and reads every field set back from it.
  template <typename Rec>
  void ExpectRoundTrip(const Rec& record) const {
    ASSERT_EQ(static_cast<const void*>(&record), static_cast<const void*>(record_));
    Rec copy;
    std::memcpy(&copy, &record, sizeof copy);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&copy);
    for (const Field& f : fields_) {
      const uint8_t* at = bytes + f.offset;
      if (f.capacity == ByteField) {
        EXPECT_EQ(*at, SampleByte(f.name)) << f.name;
      } else if (f.capacity == IntField) {
        records::Int32Field value;
        std::memcpy(&value, at, sizeof value);
        EXPECT_EQ(value.Get(), SampleInt32(f.name)) << f.name;
      } else {
        EXPECT_EQ(platform::text::ReadShortString(at, f.capacity), SampleText(f.name, f.capacity)) << f.name;
      }
    }
    EXPECT_GT(fields_.size(), 0u);
  }

 private:
  static constexpr std::size_t ByteField = 0, IntField = 1000;  // text fields hold 1 to 255
  struct Field {
    std::string name;
    std::size_t offset;
    std::size_t capacity;
  };

  void Remember(const void* field, std::string_view name, std::size_t capacity) {
    fields_.push_back({std::string(name),
                       static_cast<std::size_t>(static_cast<const uint8_t*>(field) - record_), capacity});
    names_.emplace_back(name);
  }

  const uint8_t* record_;
  std::vector<Field> fields_;
  std::vector<std::string> names_;
};

// Runs the checker on the current directory; its report goes into the failure message.
inline void ExpectCheckerAccepts(const std::vector<std::string>& kinds) {
  QProcess python;
  QStringList arguments{QString(KESTRAVA_SOURCE_DIR) + "/tests/oracles/records_layout.py", "."};
  for (const std::string& kind : kinds) arguments << QString::fromStdString(kind);
  python.start("/usr/bin/python3", arguments);
  ASSERT_TRUE(python.waitForStarted(30000));
  ASSERT_TRUE(python.waitForFinished(60000));
  EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString()
                                  << python.readAllStandardOutput().toStdString();
}

}  // namespace records_test
