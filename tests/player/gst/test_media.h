#pragma once
// Media made at test time: small files generated once per test process with gst-launch-1.0 into
// a temporary folder, WAV files written directly, and a pump that runs a ManualEventLoop against
// real time while a real graph plays.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/manual_event_loop.h"

namespace nivra::player::test {

struct TestMedia {
  std::filesystem::path videoWithSound;  // 2 s, 160x120 VP8 + Vorbis stereo in WebM
  std::filesystem::path soundOnly;       // 2 s Vorbis stereo in Ogg
  std::filesystem::path theora;          // 2 s, 160x120 Theora + Vorbis stereo in Ogg
  std::filesystem::path undecodable;     // random bytes named .avi
  std::filesystem::path truncated;       // the first 40 % of videoWithSound
  std::filesystem::path realMedia;       // random bytes named .RMVB
  std::filesystem::path tones;           // 1 s WAV, left 440 Hz, right 1 kHz, 16-bit 44.1 kHz
  std::filesystem::path folder;

  // Generated on first use; ADD_FAILURE()s and leaves paths empty when a tool fails.
  static const TestMedia& get();
};

struct WavFormat {
  std::uint16_t formatTag = 1;  // 1 PCM, 3 float, 0xFFFE extensible
  std::uint16_t channels = 2;
  std::uint16_t bitsPerSample = 16;
  std::uint32_t rate = 44100;
  std::uint32_t channelMask = 0;   // extensible only
  std::uint16_t subFormatTag = 1;  // extensible only
};

// Writes a RIFF WAVE file with one data chunk.
void WriteWav(const std::filesystem::path& path, const WavFormat& format,
              const std::vector<std::uint8_t>& data);
// The format and data chunk of a WAV file; false when it cannot be read.
bool ReadWav(const std::filesystem::path& path, WavFormat& format, std::vector<std::uint8_t>& data);

// Stereo 16-bit samples, left at `leftHz`, right at `rightHz`, amplitude 0.5.
std::vector<std::uint8_t> StereoTones(double leftHz, double rightHz, std::uint32_t rate,
                                      double seconds);

// Runs the loop's posted work and advances its virtual time with real time until `done` or the
// time-out; true when `done` became true.
bool PumpUntil(platform::ManualEventLoop& loop, const std::function<bool()>& done,
               int timeoutMs = 15000);

}  // namespace nivra::player::test
