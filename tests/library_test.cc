// The C interface's own promises: no shared state between calls, results
// that own their memory, and every bad value a status and words.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "zarn.h"

namespace {

struct Rendered {
  int status;
  std::string bytes;
  std::string out;
  std::string diagnostic;
  bool operator==(const Rendered&) const = default;
};

Rendered render(const std::vector<const char*>& args) {
  zarn_result r;
  const int status = zarn_render(static_cast<int>(args.size()), args.data(), &r);
  Rendered got{status, std::string(reinterpret_cast<const char*>(r.bytes), r.size), r.out,
               r.diagnostic};
  zarn_result_free(&r);
  return got;
}

TEST(Library, ThreadsRenderingAtOnceGetWhatEachWouldAlone) {
  const std::vector<std::vector<const char*>> cases = {
      {"Q1ABC", "20"},
      {"-r", "48000", "-e", "s16", "--ramp", "5", "Q1ABC/M", "5"},
      {"--text", "--farnsworth", "25", "CQ DE Q1ABC <AR>", "8", "700"},
      {"Q1#BC", "20"},
      {"--rate", "7999", "Q1ABC", "20"},
      {"--help"},
  };
  std::vector<Rendered> alone;
  for (const auto& args : cases) alone.push_back(render(args));
  std::vector<std::vector<Rendered>> together(16);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < together.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 20; ++i) together[t].push_back(render(cases[t % cases.size()]));
    });
  }
  for (auto& thread : threads) thread.join();
  for (std::size_t t = 0; t < together.size(); ++t) {
    for (const auto& got : together[t]) EXPECT_EQ(got, alone[t % cases.size()]) << t;
  }
}

// The library runs the command line's encoder, so it takes every script's
// letters: a Cyrillic message is the Latin letters of the same codes.
TEST(Library, RendersACyrillicMessage) {
  const Rendered cyrillic = render({"--text", "ПРИВЕТ МИР", "20"});
  EXPECT_EQ(cyrillic.status, 0) << cyrillic.diagnostic;
  EXPECT_EQ(cyrillic, render({"--text", "PRIWET MIR", "20"}));
}

TEST(Library, NullArgumentsAreEmptyAndANullResultIsRefused) {
  const char* args[] = {"Q1ABC", nullptr};
  EXPECT_EQ(render({"Q1ABC", ""}), render({args[0], args[1]}));
  EXPECT_EQ(zarn_render(2, args, nullptr), -1);
  EXPECT_EQ(render({}).out, render({"Q1ABC"}).out);
  zarn_result r;
  EXPECT_EQ(zarn_render(3, nullptr, &r), 0);
  EXPECT_EQ(r.bytes, nullptr);
  zarn_result_free(&r);
  zarn_result_free(nullptr);
}

using Request = std::unique_ptr<zarn_request, decltype(&zarn_request_free)>;
using Step = std::function<zarn_status(zarn_request*)>;

Request request(const std::vector<Step>& setup) {
  Request r(zarn_request_new(), zarn_request_free);
  for (const auto& step : setup) EXPECT_EQ(step(r.get()), ZARN_OK) << zarn_request_error(r.get());
  return r;
}

std::string rendered(zarn_request* r) {
  zarn_buffer b;
  if (zarn_request_render(r, &b) != ZARN_OK) return zarn_request_error(r);
  std::string bytes(reinterpret_cast<const char*>(b.bytes), b.size);
  zarn_buffer_free(&b);
  return bytes;
}

const Step kQ1abc = [](zarn_request* r) { return zarn_request_set_callsign(r, "Q1ABC"); };
const Step kAt20 = [](zarn_request* r) { return zarn_request_set_wpm(r, 20); };

TEST(Library, TypedRequestsMakeTheCommandLinesBytes) {
  const struct {
    std::vector<Step> setup;
    std::vector<const char*> args;
  } kCases[] = {
      {{kQ1abc, kAt20}, {"Q1ABC", "20"}},
      {{kQ1abc, kAt20, [](zarn_request* r) { return zarn_request_set_preset(r, "asterisk"); },
        [](zarn_request* r) { return zarn_request_set_volume_db(r, -6); }},
       {"-p", "asterisk", "--volume", "-6", "Q1ABC", "20"}},
      {{[](zarn_request* r) { return zarn_request_set_message(r, "CQ <AR>", 7); }, kAt20,
        [](zarn_request* r) { return zarn_request_set_character_wpm(r, 25); },
        [](zarn_request* r) { return zarn_request_set_tone_hz(r, 700); }},
       {"--text", "--farnsworth", "25", "CQ <AR>", "20", "700"}},
      {{[](zarn_request* r) { return zarn_request_set_message(r, "ИÍ CH", 7); }, kAt20,
        [](zarn_request* r) { return zarn_request_set_ukrainian(r, 1); },
        [](zarn_request* r) { return zarn_request_set_fold(r, 1); },
        [](zarn_request* r) { return zarn_request_set_ch(r, 1); }},
       {"--ukrainian", "--fold", "--ch", "--text", "ИÍ CH", "20"}},
      {{kQ1abc, [](zarn_request* r) { return zarn_request_set_groups(r, 5); },
        [](zarn_request* r) { return zarn_request_set_koch_lesson(r, 7); },
        [](zarn_request* r) { return zarn_request_set_group_size(r, 2, 6); },
        [](zarn_request* r) { return zarn_request_set_seed(r, 42); }, kAt20},
       {"--koch", "7", "--groups", "5", "--group-size", "2-6", "--seed", "42", "20"}},
      {{[](zarn_request* r) { return zarn_request_set_calls(r, 4); },
        [](zarn_request* r) { return zarn_request_set_frame(r, 1); },
        [](zarn_request* r) { return zarn_request_set_seed(r, 18446744073709551615u); }, kAt20},
       {"--calls", "4", "--frame", "--seed", "18446744073709551615", "20"}},
      {{kQ1abc, kAt20, [](zarn_request* r) { return zarn_request_set_dot_seconds(r, 0.5); },
        [](zarn_request* r) { return zarn_request_set_mode(r, "dfcw"); },
        [](zarn_request* r) { return zarn_request_set_shift_hz(r, 8); },
        [](zarn_request* r) { return zarn_request_set_element_gap(r, 0.25); },
        [](zarn_request* r) { return zarn_request_set_carrier_seconds(r, 2); },
        [](zarn_request* r) { return zarn_request_set_carrier_first(r, 1); },
        [](zarn_request* r) { return zarn_request_set_repeat(r, 2); },
        [](zarn_request* r) { return zarn_request_set_repeat_gap_seconds(r, 1.5); }},
       {"--dot", "0.5", "--mode", "dfcw", "--shift", "8", "--element-gap", "0.25", "--carrier", "2",
        "--carrier-first", "--repeat", "2", "--gap", "1.5", "Q1ABC"}},
  };
  for (const auto& c : kCases) {
    const auto r = request(c.setup);
    const std::string bytes = rendered(r.get());
    EXPECT_EQ(bytes, render(c.args).bytes) << c.args[0];
    std::uint64_t size = 0;
    EXPECT_EQ(zarn_request_size(r.get(), &size), ZARN_OK);
    EXPECT_EQ(size, bytes.size()) << c.args[0];
    std::string streamed;
    const auto append = [](void* out, const unsigned char* block, size_t n) {
      static_cast<std::string*>(out)->append(reinterpret_cast<const char*>(block), n);
      return 0;
    };
    EXPECT_EQ(zarn_request_stream(r.get(), append, &streamed), ZARN_OK);
    EXPECT_EQ(streamed, bytes) << c.args[0];
  }
}

// Without a seed one is drawn once for the request: its size, render and key
// agree, and the key's seed makes the command line's bytes.
TEST(Library, APracticeSetsDrawnSeedIsInItsKey) {
  const auto r = request({[](zarn_request* r) { return zarn_request_set_groups(r, 3); }, kAt20});
  std::uint64_t size = 0;
  EXPECT_EQ(zarn_request_size(r.get(), &size), ZARN_OK);
  const std::string bytes = rendered(r.get());
  EXPECT_EQ(size, bytes.size());
  const std::string key = zarn_request_key(r.get());
  ASSERT_TRUE(key.starts_with("# --seed ")) << key;
  const std::string seed = key.substr(9, key.find('\n') - 9);
  const auto again = render({"--groups", "3", "--key", "-", "--seed", seed.c_str(), "20"});
  EXPECT_EQ(again.bytes, bytes);
  EXPECT_EQ(again.out, key.substr(key.find('\n') + 1));
  EXPECT_EQ(render({"--groups", "3", "--key", "k.txt", "20"}).status, 2);
  EXPECT_EQ(zarn_request_set_callsign(r.get(), "Q1ABC"), ZARN_OK);
  EXPECT_STREQ(zarn_request_key(r.get()), "");
}

TEST(Library, BadValuesAreAStatusAndWords) {
  const std::string kHuge(100 << 20, 'E');
  const struct {
    Step step;
    zarn_status status;
    const char* words;
  } kCases[] = {
      {[](zarn_request* r) { return zarn_request_set_callsign(r, nullptr); }, ZARN_BAD_VALUE,
       "setting callsign: NULL is not a callsign"},
      {[](zarn_request* r) { return zarn_request_set_wpm(r, NAN); }, ZARN_BAD_VALUE,
       "setting wpm: nan is not a number above 0"},
      {[](zarn_request* r) { return zarn_request_set_wpm(r, 1e300); }, ZARN_BAD_VALUE,
       "setting wpm: 1.0000000000000001e+300 is not a number above 0"},
      {[](zarn_request* r) { return zarn_request_set_rate(r, LONG_MAX); }, ZARN_BAD_VALUE,
       "setting rate: 9.2233720368547758e+18 is not a whole number from 8000 to 192000"},
      {[](zarn_request* r) { return zarn_request_set_ramp_ms(r, -INFINITY); }, ZARN_BAD_VALUE,
       "setting ramp: -inf is not a number of 0 or more"},
      {[](zarn_request* r) { return zarn_request_set_encoding(r, "mp9"); }, ZARN_BAD_VALUE,
       "setting encoding: mp9 is not one of u8, s16, ulaw, alaw, gsm, mp3, vorbis, opus, flac"},
      {[](zarn_request* r) { return zarn_request_set_tag(r, "title", "\xff"); }, ZARN_BAD_VALUE,
       "setting tag title: the text given is not UTF-8 text of up to 1024 bytes"},
      {[](zarn_request* r) { return zarn_request_set_mode(r, "fm"); }, ZARN_BAD_VALUE,
       "setting mode: fm is not one of on-off, fsk, dfcw"},
      {[](zarn_request* r) { return zarn_request_set_container(r, nullptr); }, ZARN_BAD_VALUE,
       "setting container: NULL is not wav or raw"},
      {[](zarn_request* r) { return zarn_request_set_message_file(r, "/nonexistent/m.txt"); },
       ZARN_READ_FAILED, "cannot read message file /nonexistent/m.txt: no such file"},
      {[&](zarn_request* r) {
         EXPECT_EQ(zarn_request_set_max_message_bytes(r, 1 << 20), ZARN_OK);
         return zarn_request_set_message(r, kHuge.data(), kHuge.size());
       },
       ZARN_TOO_LARGE, "the message would be 104857600 bytes, above the limit of 1048576 bytes"},
      {[](zarn_request* r) { return zarn_request_set_koch_lesson(r, 41); }, ZARN_BAD_VALUE,
       "setting koch lesson: 41 is not a whole number from 1 to 40"},
      {[](zarn_request* r) { return zarn_request_set_group_size(r, 6, 5); }, ZARN_BAD_VALUE,
       "setting group size: 6-5 is not a whole number from 1 to 20, or N-M with N up to M"},
      {[](zarn_request* r) { return zarn_request_set_charset(r, "a b"); }, ZARN_BAD_VALUE,
       "setting charset: a b is not letters, digits and . , : ? ' - / ( ) \" = + @, without "
       "blanks"},
      {[](zarn_request* r) { return zarn_request_size(r, nullptr); }, ZARN_BAD_VALUE,
       "setting size: NULL is not a place for the size"},
      {[](zarn_request* r) { return zarn_request_render(r, nullptr); }, ZARN_BAD_VALUE,
       "setting buffer: NULL is not a buffer to fill"},
      // Nothing set: no speed.
      {[](zarn_request* r) {
         zarn_buffer b;
         return zarn_request_render(r, &b);
       },
       ZARN_REFUSED, "speed must be above 0 wpm, not 0"},
  };
  for (const auto& c : kCases) {
    const auto r = request({});
    EXPECT_EQ(c.step(r.get()), c.status) << c.words;
    EXPECT_EQ(zarn_request_error(r.get()), "zarn: severe: " + std::string(c.words));
  }
  EXPECT_EQ(zarn_request_set_wpm(nullptr, 20), ZARN_BAD_ARGUMENT);
}

TEST(Library, LimitsRefuseBeforeAnythingLargeIsMade) {
  // 40 bytes of arguments that would make 4.5 GB.
  const auto r =
      request({[](zarn_request* q) { return zarn_request_set_rate(q, 192000); },
               [](zarn_request* q) { return zarn_request_set_encoding(q, "s16"); },
               [](zarn_request* q) { return zarn_request_set_container(q, "raw"); },
               [](zarn_request* q) { return zarn_request_set_word_gap(q, 2e5); },
               [](zarn_request* q) { return zarn_request_set_message(q, "E E", 3); }, kAt20,
               [](zarn_request* q) { return zarn_request_set_max_bytes(q, 1 << 30); }});
  std::uint64_t size = 0;
  EXPECT_EQ(zarn_request_size(r.get(), &size), ZARN_TOO_LARGE);
  zarn_buffer b;
  EXPECT_EQ(zarn_request_render(r.get(), &b), ZARN_TOO_LARGE);
  EXPECT_EQ(b.bytes, nullptr);
  EXPECT_EQ(
      std::string(zarn_request_error(r.get())),
      "zarn: severe: the sound would be 4608115200 bytes, above the limit of 1073741824 bytes");
  // A callback that stops ends the stream with its own status.
  const auto stop = [](void*, const unsigned char*, size_t) { return 1; };
  const auto id = request({kQ1abc, kAt20});
  EXPECT_EQ(zarn_request_stream(id.get(), stop, nullptr), ZARN_STOPPED);
}

// The compressed encodings: the pairs the command line refuses as it reads
// its options are refused when sized; a file fits the size announced for it.
TEST(Library, CompressedEncodingsAreCheckedAndFitTheirSize) {
  const auto sized = [](const std::vector<Step>& setup) {
    auto r = request(setup);
    std::uint64_t bytes = 0;
    if (zarn_request_size(r.get(), &bytes) != ZARN_OK)
      return std::string(zarn_request_error(r.get()));
    return std::string(bytes > 0 && rendered(r.get()).size() <= bytes ? "fits" : "too large");
  };
  const auto encoding = [](const char* name) {
    return [=](zarn_request* r) { return zarn_request_set_encoding(r, name); };
  };
  const Step raw = [](zarn_request* r) { return zarn_request_set_container(r, "raw"); };
  const Step rate = [](zarn_request* r) { return zarn_request_set_rate(r, 44100); };
  const Step bitrate = [](zarn_request* r) { return zarn_request_set_bitrate(r, 64); };
  const Step tag = [](zarn_request* r) { return zarn_request_set_tag(r, "title", "Übung"); };
  const std::string severe = "zarn: severe: setting ";
  EXPECT_EQ(sized({kQ1abc, kAt20, encoding("mp3"), raw}),
            severe + "raw: 1 is not a setting of the PCM encodings: mp3 has its own container");
  EXPECT_EQ(sized({kQ1abc, kAt20, encoding("opus"), rate}),
            severe + "rate: 44100 is not a rate opus takes: 8000, 12000, 16000, 24000 or 48000 Hz");
  EXPECT_EQ(sized({kQ1abc, kAt20, encoding("flac"), bitrate}),
            severe + "bitrate: 64 is not a setting of mp3, vorbis or opus, not of flac");
  for (const char* name : {"mp3", "vorbis", "opus", "flac"}) {
    EXPECT_EQ(sized({kQ1abc, kAt20, encoding(name), tag}), "fits") << name;
  }
  EXPECT_EQ(sized({kQ1abc, kAt20, encoding("mp3"), rate, bitrate}), "fits");
  EXPECT_EQ(sized({kQ1abc, kAt20, encoding("vorbis"), rate, bitrate}), "fits");
  // Without a rate, mp3 is MPEG-2 layer III at 22050 Hz: never MPEG 2.5.
  auto r = request({kQ1abc, kAt20, encoding("mp3")});
  const std::string mp3 = rendered(r.get());
  ASSERT_GT(mp3.size(), 3u);
  EXPECT_EQ(mp3.substr(0, 2), "\xff\xf3");
  EXPECT_EQ(mp3[2] & 0x0C, 0);
}

}  // namespace
