// The SGI reader against files built byte by byte here (channel counts,
// RLE packets, row-table order, byte order, malformed headers and rows) and
// against files written by netpbm and ImageMagick from known pixels.
#include "common/texture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

std::string TempPath(const std::string &name) {
  return ::testing::TempDir() + "sgi_" + std::to_string(getpid()) + "_" + name;
}

void Put16(Bytes &b, size_t at, unsigned v) {
  b[at] = v >> 8;
  b[at + 1] = v & 0xFF;
}

void Put32(Bytes &b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; i++) b[at + i] = (v >> (24 - 8 * i)) & 0xFF;
}

Bytes Header(bool rle, unsigned x, unsigned y, unsigned z) {
  Bytes b(512, 0);
  Put16(b, 0, 474);
  b[2] = rle ? 1 : 0;
  b[3] = 1;
  Put16(b, 4, 3);
  Put16(b, 6, x);
  Put16(b, 8, y);
  Put16(b, 10, z);
  return b;
}

// channels[z][y * x + i]: the value of channel z at pixel (i, y), y = 0 bottom.
using Planes = std::vector<Bytes>;

Bytes Verbatim(unsigned x, unsigned y, const Planes &channels) {
  Bytes b = Header(false, x, y, unsigned(channels.size()));
  for (const Bytes &plane : channels) b.insert(b.end(), plane.begin(), plane.end());
  return b;
}

// Each row as one literal packet plus a terminator; rows are stored in
// reverse table order so only the row-start table can find them.
Bytes Rle(unsigned x, unsigned y, const Planes &channels) {
  const size_t rows = size_t(y) * channels.size();
  Bytes b = Header(true, x, y, unsigned(channels.size()));
  b.resize(512 + 8 * rows);
  for (size_t k = rows; k-- > 0;) {
    const Bytes &plane = channels[k / y];
    Put32(b, 512 + 4 * k, uint32_t(b.size()));
    Put32(b, 512 + 4 * rows + 4 * k, x + 2);
    b.push_back(0x80 | x);
    b.insert(b.end(), plane.begin() + (k % y) * x, plane.begin() + (k % y + 1) * x);
    b.push_back(0);
  }
  return b;
}

std::string Write(const std::string &name, const Bytes &bytes) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
  return path;
}

struct Image {
  int w = -1, h = -1, c = -1;
  Bytes rgba;
};

Image ReadRgba(const std::string &path) {
  Image im;
  std::unique_ptr<unsigned, decltype(&free)> p(read_texture(path.c_str(), &im.w, &im.h, &im.c),
                                               free);
  const auto *bytes = reinterpret_cast<const unsigned char *>(p.get());
  if (bytes) im.rgba.assign(bytes, bytes + 4 * size_t(im.w) * im.h);
  return im;
}

Bytes ReadPacked(const std::string &path, size_t expected) {
  int w, h, c;
  std::unique_ptr<unsigned char, decltype(&free)> p(read_sgi(path.c_str(), &w, &h, &c), free);
  return Bytes(p.get(), p.get() + expected);
}

// A 3 x 2 test picture: channel z of pixel i holds 10 * (z + 1) + i.
Planes TestPlanes(int z) {
  Planes planes;
  for (int c = 0; c < z; c++) {
    Bytes plane;
    for (int i = 0; i < 6; i++) plane.push_back(10 * (c + 1) + i);
    planes.push_back(plane);
  }
  return planes;
}

Bytes ExpectedRgba(int z) {
  Bytes out;
  for (int i = 0; i < 6; i++) {
    const int v[4] = {10 + i, 20 + i, 30 + i, 40 + i};
    if (z == 1)
      out.insert(out.end(),
                 {Bytes::value_type(v[0]), Bytes::value_type(v[0]), Bytes::value_type(v[0]), 255});
    else if (z == 2)
      out.insert(out.end(), {Bytes::value_type(v[0]), Bytes::value_type(v[0]),
                             Bytes::value_type(v[0]), Bytes::value_type(v[1])});
    else
      out.insert(out.end(), {Bytes::value_type(v[0]), Bytes::value_type(v[1]),
                             Bytes::value_type(v[2]), Bytes::value_type(z == 3 ? 255 : v[3])});
  }
  return out;
}

TEST(SgiReader, EveryChannelCountVerbatimAndRleGivesRgba) {
  for (int z = 1; z <= 5; z++) {
    for (bool rle : {false, true}) {
      SCOPED_TRACE("channels " + std::to_string(z) + (rle ? " rle" : " verbatim"));
      const Planes planes = TestPlanes(z);
      const Image im = ReadRgba(Write("c.rgb", rle ? Rle(3, 2, planes) : Verbatim(3, 2, planes)));
      EXPECT_EQ(im.w, 3);
      EXPECT_EQ(im.h, 2);
      EXPECT_EQ(im.c, z);
      EXPECT_EQ(im.rgba, ExpectedRgba(std::min(z, 4)));
    }
  }
}

TEST(SgiReader, ReadSgiPacksTheFilesOwnChannels) {
  const std::string grey = Write("p1.rgb", Verbatim(3, 2, TestPlanes(1)));
  EXPECT_EQ(ReadPacked(grey, 6), (Bytes{10, 11, 12, 13, 14, 15}));
  const std::string la = Write("p2.rgb", Rle(3, 2, TestPlanes(2)));
  EXPECT_EQ(ReadPacked(la, 4), (Bytes{10, 20, 11, 21}));
  const std::string rgb = Write("p3.rgb", Verbatim(3, 2, TestPlanes(3)));
  EXPECT_EQ(ReadPacked(rgb, 6), (Bytes{10, 20, 30, 11, 21, 31}));
  // Five channels: each row is 5 * xsize bytes, the first 4 * xsize RGBA.
  const Bytes five = ReadPacked(Write("p5.rgb", Verbatim(3, 2, TestPlanes(5))), 30);
  EXPECT_EQ(Bytes(five.begin(), five.begin() + 4), (Bytes{10, 20, 30, 40}));
  EXPECT_EQ(Bytes(five.begin() + 12, five.begin() + 15), (Bytes{0, 0, 0}));
  EXPECT_EQ(Bytes(five.begin() + 15, five.begin() + 19), (Bytes{13, 23, 33, 43}));
}

TEST(SgiReader, RlePacketsLiteralRepeatAndEnd) {
  // One 10-pixel grey row: literal 0x83 a b c, repeat 0x05 v, then an end
  // packet; the two pixels the row never reaches stay 0.
  for (unsigned char end : {0x00, 0x80}) {
    Bytes b = Header(true, 10, 1, 1);
    b.resize(520);
    const Bytes row = {0x83, 7, 8, 9, 0x05, 42, end, 0x02, 99};
    Put32(b, 512, 520);
    Put32(b, 516, uint32_t(row.size()));
    b.insert(b.end(), row.begin(), row.end());
    EXPECT_EQ(ReadPacked(Write("pk.rgb", b), 10), (Bytes{7, 8, 9, 42, 42, 42, 42, 42, 0, 0}));
  }
}

TEST(SgiReader, HeaderIsBigEndianAndMagicIsIgnored) {
  uint16_t s[2] = {0x0102, 0xA0B0};
  ConvertShort(s, 2);
  EXPECT_EQ(s[0], 0x0201);
  EXPECT_EQ(s[1], 0xB0A0);
  uint32_t l = 0x01020304;
  ConvertLong(&l, 1);
  EXPECT_EQ(l, 0x04030201u);

  // 258 = 0x0102 wide: a swapped reader would see 513.
  Bytes grey(258);
  for (size_t i = 0; i < grey.size(); i++) grey[i] = i & 0xFF;
  Bytes b = Verbatim(258, 1, {grey});
  Put16(b, 0, 0xBEEF);
  const Image im = ReadRgba(Write("be.rgb", b));
  ASSERT_EQ(im.w, 258);
  EXPECT_EQ(im.rgba[4 * 257], 1);
  EXPECT_EQ(im.rgba[4 * 257 + 3], 255);
}

// ---- Files from independent writers.

std::string RunTool(const std::string &command) {
  return std::system(command.c_str()) == 0 ? "" : "failed: " + command;
}

// A 4 x 3 picture, top row first as PPM stores it, every value distinct.
Bytes ToolPixels() {
  Bytes p;
  for (int i = 0; i < 4 * 3 * 3; i++) p.push_back(5 + 7 * i);
  return p;
}

// Expected RGBA from read_texture: SGI row 0 is the picture's bottom row.
Bytes ToolExpected(bool grey, bool alpha) {
  const Bytes p = ToolPixels();
  Bytes out;
  for (int y = 2; y >= 0; y--)
    for (int x = 0; x < 4; x++) {
      const unsigned char *px = &p[3 * (4 * y + x)];
      if (grey)
        out.insert(out.end(), {px[0], px[0], px[0], 255});
      else
        out.insert(out.end(), {px[0], px[1], px[2], Bytes::value_type(alpha ? 200 - 10 * x : 255)});
    }
  return out;
}

TEST(SgiReader, MatchesNetpbmAndImageMagick) {
  const std::string ppm = TempPath("tool.ppm");
  {
    std::ofstream out(ppm, std::ios::binary);
    out << "P6\n4 3\n255\n";
    const Bytes p = ToolPixels();
    out.write(reinterpret_cast<const char *>(p.data()), std::streamsize(p.size()));
  }
  // The grey picture is channel 0 of the colour one.
  const std::string greyPgm = TempPath("grey.pgm");
  {
    std::ofstream out(greyPgm, std::ios::binary);
    out << "P5\n4 3\n255\n";
    const Bytes p = ToolPixels();
    for (size_t i = 0; i < p.size(); i += 3) out.put(char(p[i]));
  }
  struct Case {
    std::string command;
    bool grey, alpha;
  } cases[] = {
      {"pnmtosgi -verbatim " + ppm, false, false},
      {"pnmtosgi -rle " + ppm, false, false},
      {"pnmtosgi -rle " + greyPgm, true, false},
      {"convert " + ppm + " -compress None SGI:-", false, false},
      {"convert " + ppm + " -compress RLE SGI:-", false, false},
      {"convert " + greyPgm + " -compress RLE SGI:-", true, false},
      // Alpha falls by 10 per column from 200.
      {"convert " + ppm +
           " \\( -size 4x3 gradient: -fx 0.784314-0.039216*i \\) -alpha off"
           " -compose CopyOpacity -composite -compress RLE SGI:-",
       false, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.command);
    const std::string sgi = TempPath("tool.rgb");
    ASSERT_EQ(RunTool(c.command + " > " + sgi + " 2>/dev/null"), "");
    const Image im = ReadRgba(sgi);
    EXPECT_EQ(im.w, 4);
    EXPECT_EQ(im.h, 3);
    EXPECT_EQ(im.rgba, ToolExpected(c.grey, c.alpha));
  }
}

// ---- Malformed files.

TEST(SgiReaderDeathTest, UnusableFilesEndTheProgramNamingTheFile) {
  const std::string missing = TempPath("missing.rgb");
  EXPECT_EXIT(ReadRgba(missing), ::testing::ExitedWithCode(1), "missing.rgb: No such file");

  const Bytes good = Verbatim(3, 2, TestPlanes(3));
  const Bytes goodRle = Rle(3, 2, TestPlanes(3));  // tables end at 560
  struct Case {
    std::string name;
    Bytes bytes;
    std::string message;
  } cases[] = {
      {"short.rgb", Bytes(good.begin(), good.begin() + 11), "shorter than its header"},
      {"cut.rgb", Bytes(good.begin(), good.end() - 1), "shorter than its header"},
      {"cutrle.rgb", Bytes(goodRle.begin(), goodRle.begin() + 540), "shorter than its header"},
      {"zerow.rgb", Verbatim(0, 2, {{}}), "zero width or height"},
      {"zeroh.rgb", Verbatim(3, 0, {{}}), "zero width or height"},
      {"huge.rgb", Header(true, 65535, 65535, 1), "too large"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = Write(c.name, c.bytes);
    EXPECT_EXIT(ReadRgba(path), ::testing::ExitedWithCode(1), c.name + ": .*" + c.message);
    SgiStatus status = kSgiOk;
    int w, h, z;
    EXPECT_EQ(ReadTextureChecked(path.c_str(), &w, &h, &z, &status), nullptr);
    EXPECT_NE(status, kSgiOk);
  }
  Bytes zeroChannels = Header(false, 3, 2, 0);
  zeroChannels.resize(512 + 6);
  const std::string noChannels = Write("z0.rgb", zeroChannels);
  EXPECT_EXIT(ReadPacked(noChannels, 0), ::testing::ExitedWithCode(1), "z0.rgb: .*no channels");
}

TEST(SgiReader, ZeroChannelsReadsAsGreyForRgba) {
  Bytes b = Header(false, 3, 2, 0);
  const Bytes grey = TestPlanes(1)[0];
  b.insert(b.end(), grey.begin(), grey.end());
  EXPECT_EQ(ReadRgba(Write("z0g.rgb", b)).rgba, ExpectedRgba(1));
  // An RLE file with no channels has empty tables: every row reads as 0.
  const Image rle = ReadRgba(Write("z0r.rgb", Header(true, 3, 2, 0)));
  EXPECT_EQ(rle.rgba, Bytes({0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255,
                             0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255}));
}

TEST(SgiReader, BadRleRowsAreClippedOrCleared) {
  // Row 0 repeats far past xsize and its length claims more than the row
  // buffer; row 1 starts outside the file; row 2 is a literal run cut off by
  // the end of the file; row 3 has a negative length.
  Bytes b = Header(true, 4, 4, 1);
  b.resize(512 + 32);
  const uint32_t data = uint32_t(b.size());
  Put32(b, 512, data);
  Put32(b, 512 + 4, 1u << 30);
  Put32(b, 512 + 8, data + 2);
  Put32(b, 512 + 12, data);
  Put32(b, 512 + 16, 0x7FFFFFFF);
  Put32(b, 512 + 20, 5);
  Put32(b, 512 + 24, 4);
  Put32(b, 512 + 28, 0xFFFFFFFF);
  b.insert(b.end(), {0x7F, 9, 0x84, 1, 2});
  EXPECT_EQ(ReadPacked(Write("badrows.rgb", b), 16),
            (Bytes{9, 9, 9, 9, 0, 0, 0, 0, 1, 2, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
