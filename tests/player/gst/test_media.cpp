#include "tests/player/gst/test_media.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <thread>

#include "platform/process_runner.h"
#include "tests/support/temp_dir.h"

namespace nivra::player::test {
namespace {

bool gstLaunch(const std::string& pipeline) {
  // gst-launch takes the pipeline as separate words; none of ours holds a space in a value.
  std::vector<std::string> args{"-q"};
  std::size_t start = 0;
  while (start < pipeline.size()) {
    auto end = pipeline.find(' ', start);
    if (end == std::string::npos) end = pipeline.size();
    if (end > start) args.push_back(pipeline.substr(start, end - start));
    start = end + 1;
  }
  const auto result =
      platform::runAndCapture("/usr/bin/gst-launch-1.0", args).value_or(platform::CapturedRun{});
  if (result.exitCode != 0) ADD_FAILURE() << "gst-launch-1.0 " << pipeline << "\n" << result.err;
  return result.exitCode == 0;
}

void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string randomBytes(std::size_t n) {
  std::mt19937 gen(1234);
  std::string s(n, '\0');
  for (auto& c : s) c = static_cast<char>(gen());
  return s;
}

std::string audioVideo(const std::filesystem::path& out, int width, int height, int frames,
                       int audioBuffers) {
  return "videotestsrc num-buffers=" + std::to_string(frames) +
         " ! video/x-raw,width=" + std::to_string(width) + ",height=" + std::to_string(height) +
         ",framerate=25/1 ! vp8enc deadline=1 ! queue ! webmmux name=m ! filesink location=" +
         out.string() + " audiotestsrc num-buffers=" + std::to_string(audioBuffers) +
         " ! audio/x-raw,rate=44100,channels=2 ! vorbisenc ! queue ! m.";
}

void put16(std::string& s, std::uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); }
void put32(std::string& s, std::uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); }

}  // namespace

const TestMedia& TestMedia::get() {
  static const auto media = [] {
    static nivra::test::TempDir dir;
    TestMedia m;
    m.folder = dir.path();
    m.videoWithSound = dir / "clip.webm";
    m.soundOnly = dir / "song.ogg";
    m.theora = dir / "clip.ogv";
    m.undecodable = dir / "junk.avi";
    m.truncated = dir / "cut.webm";
    m.realMedia = dir / "movie.RMVB";
    m.tones = dir / "tones.wav";
    gstLaunch(audioVideo(m.videoWithSound, 160, 120, 50, 87));
    gstLaunch(
        "audiotestsrc num-buffers=87 ! audio/x-raw,rate=44100,channels=2 ! vorbisenc ! "
        "oggmux ! filesink location=" +
        m.soundOnly.string());
    gstLaunch(
        "videotestsrc num-buffers=50 ! video/x-raw,width=160,height=120,framerate=25/1 ! "
        "theoraenc ! queue ! oggmux name=m ! filesink location=" +
        m.theora.string() +
        " audiotestsrc num-buffers=87 ! audio/x-raw,rate=44100,channels=2 ! vorbisenc ! "
        "queue ! m.");
    const auto whole = nivra::test::readFile(m.videoWithSound);
    writeBytes(m.truncated, whole.substr(0, whole.size() * 2 / 5));
    writeBytes(m.undecodable, randomBytes(6000));
    writeBytes(m.realMedia, randomBytes(6000));
    WriteWav(m.tones, WavFormat{}, StereoTones(440, 1000, 44100, 1.0));
    return m;
  }();
  return media;
}

void WriteWav(const std::filesystem::path& path, const WavFormat& f,
              const std::vector<std::uint8_t>& data) {
  std::string fmt;
  put16(fmt, f.formatTag);
  put16(fmt, f.channels);
  put32(fmt, f.rate);
  const std::uint16_t block = static_cast<std::uint16_t>(f.channels * f.bitsPerSample / 8);
  put32(fmt, f.rate * block);
  put16(fmt, block);
  put16(fmt, f.bitsPerSample);
  if (f.formatTag == 0xFFFE) {
    put16(fmt, 22);
    put16(fmt, f.bitsPerSample);
    put32(fmt, f.channelMask);
    // KSDATAFORMAT_SUBTYPE_*: the tag, then the fixed GUID tail.
    put16(fmt, f.subFormatTag);
    const unsigned char tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                    0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    fmt.append(reinterpret_cast<const char*>(tail), sizeof tail);
  }
  std::string file = "RIFF";
  put32(file, static_cast<std::uint32_t>(4 + 8 + fmt.size() + 8 + data.size()));
  file += "WAVEfmt ";
  put32(file, static_cast<std::uint32_t>(fmt.size()));
  file += fmt;
  file += "data";
  put32(file, static_cast<std::uint32_t>(data.size()));
  file.append(reinterpret_cast<const char*>(data.data()), data.size());
  writeBytes(path, file);
}

bool ReadWav(const std::filesystem::path& path, WavFormat& f, std::vector<std::uint8_t>& data) {
  const auto file = nivra::test::readFile(path);
  if (file.size() < 12 || file.compare(0, 4, "RIFF") != 0 || file.compare(8, 4, "WAVE") != 0) {
    return false;
  }
  auto get16 = [&](std::size_t at) {
    std::uint16_t v;
    std::memcpy(&v, file.data() + at, 2);
    return v;
  };
  auto get32 = [&](std::size_t at) {
    std::uint32_t v;
    std::memcpy(&v, file.data() + at, 4);
    return v;
  };
  bool haveFormat = false;
  for (std::size_t at = 12; at + 8 <= file.size();) {
    const std::string id = file.substr(at, 4);
    const std::size_t size = get32(at + 4);
    const std::size_t body = at + 8;
    if (body + size > file.size()) return false;
    if (id == "fmt " && size >= 16) {
      f.formatTag = get16(body);
      f.channels = get16(body + 2);
      f.rate = get32(body + 4);
      f.bitsPerSample = get16(body + 14);
      if (f.formatTag == 0xFFFE && size >= 40) {
        f.channelMask = get32(body + 20);
        f.subFormatTag = get16(body + 24);
      }
      haveFormat = true;
    } else if (id == "data") {
      data.assign(file.begin() + static_cast<std::ptrdiff_t>(body),
                  file.begin() + static_cast<std::ptrdiff_t>(body + size));
      return haveFormat;
    }
    at = body + size + (size & 1);
  }
  return false;
}

std::vector<std::uint8_t> StereoTones(double leftHz, double rightHz, std::uint32_t rate,
                                      double seconds) {
  const auto frames = static_cast<std::size_t>(rate * seconds);
  std::vector<std::uint8_t> data(frames * 4);
  for (std::size_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / rate;
    const auto l = static_cast<std::int16_t>(16383 * std::sin(2 * M_PI * leftHz * t));
    const auto r = static_cast<std::int16_t>(16383 * std::sin(2 * M_PI * rightHz * t));
    std::memcpy(&data[i * 4], &l, 2);
    std::memcpy(&data[i * 4 + 2], &r, 2);
  }
  return data;
}

bool PumpUntil(platform::ManualEventLoop& loop, const std::function<bool()>& done, int timeoutMs) {
  const auto start = std::chrono::steady_clock::now();
  std::int64_t advanced = 0;
  while (!done()) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count();
    if (elapsed > timeoutMs) return false;
    loop.advance(elapsed - advanced);
    advanced = elapsed;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace nivra::player::test
