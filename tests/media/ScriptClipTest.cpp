// The script-clip library through the entry points the program resolves: the script language
// on a small picture, script errors as error values, and the C interface's functions, values,
// variables, clips and frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "media/MediaLibrary.h"
#include "media/ScriptLibrary.h"

using namespace vc;

namespace {

// A 4:2:0 picture as three packed planes; odd sizes keep a last chroma column and line.
struct TPlanes {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Y, U, V;
  int ChromaWidth() const { return (Width + 1) / 2; }
  int ChromaHeight() const { return (Height + 1) / 2; }
  bool operator==(const TPlanes&) const = default;
};

TPlanes pattern(int width, int height) {
  TPlanes p{width, height, {}, {}, {}};
  for (int i = 0; i < width * height; ++i) p.Y.push_back(static_cast<uint8_t>(10 + 17 * i));
  for (int i = 0; i < p.ChromaWidth() * p.ChromaHeight(); ++i) {
    p.U.push_back(static_cast<uint8_t>(40 + 9 * i));
    p.V.push_back(static_cast<uint8_t>(220 - 11 * i));
  }
  return p;
}

using TMap = std::function<uint8_t(uint8_t)>;

TPlanes mapped(TPlanes p, const TMap& luma, const TMap& chroma) {
  for (auto& s : p.Y) s = luma(s);
  for (auto& s : p.U) s = chroma(s);
  for (auto& s : p.V) s = chroma(s);
  return p;
}

uint8_t clampRound(double value) { return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

TPlanes flipped(TPlanes p, bool vertical) {
  auto flip = [&](std::vector<uint8_t>& plane, int width, int height) {
    std::vector<uint8_t> out(plane.size());
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        out[static_cast<size_t>(y * width + x)] =
            vertical ? plane[static_cast<size_t>((height - 1 - y) * width + x)]
                     : plane[static_cast<size_t>(y * width + (width - 1 - x))];
    plane = out;
  };
  flip(p.Y, p.Width, p.Height);
  flip(p.U, p.ChromaWidth(), p.ChromaHeight());
  flip(p.V, p.ChromaWidth(), p.ChromaHeight());
  return p;
}

const TMap same = [](uint8_t s) { return s; };
const TMap negative = [](uint8_t s) { return static_cast<uint8_t>(255 - s); };

class ScriptClipTest : public ::testing::Test {
 protected:
  ScriptClipTest() : Api(media::TScriptLibrary::Load()), Env(Api.avs_create_script_environment(2)) {}
  ~ScriptClipTest() override { Api.avs_delete_script_environment(Env); }

  // A clip of the caller's holding Picture, as the program's source clip is made.
  AVS_Clip* SourceClip() {
    AVS_FilterInfo* info = nullptr;
    AVS_Clip* clip = Api.avs_new_c_filter(Env, &info, avs_void_value(), 0);
    info->vi = {Picture.Width, Picture.Height, 24, 1, 1, AVS_CS_I420};
    info->user_data = this;
    info->get_frame = [](AVS_FilterInfo* fi, int) {
      auto* self = static_cast<ScriptClipTest*>(fi->user_data);
      const TPlanes& p = self->Picture;
      AVS_VideoFrame* frame = self->Api.avs_new_video_frame_a(fi->env, &fi->vi, 16);
      const std::vector<uint8_t>* planes[] = {&p.Y, &p.U, &p.V};
      const int ids[] = {AVS_PLANAR_Y, AVS_PLANAR_U, AVS_PLANAR_V};
      for (int i = 0; i < 3; ++i) {
        const int width = avs_get_row_size_p(frame, ids[i]);
        self->Api.avs_bit_blt(fi->env, avs_get_write_ptr_p(frame, ids[i]), avs_get_pitch_p(frame, ids[i]),
                              planes[i]->data(), width, width, avs_get_height_p(frame, ids[i]));
      }
      return frame;
    };
    info->free_filter = [](AVS_FilterInfo* fi) { ++static_cast<ScriptClipTest*>(fi->user_data)->Freed; };
    return clip;
  }

  TPlanes FrameOf(AVS_Clip* clip) {
    AVS_VideoFrame* frame = Api.avs_get_frame(clip, 0);
    EXPECT_NE(frame, nullptr) << Api.avs_clip_get_error(clip);
    if (!frame) return {};
    TPlanes p{Api.avs_get_video_info(clip)->width, Api.avs_get_video_info(clip)->height, {}, {}, {}};
    std::vector<uint8_t>* planes[] = {&p.Y, &p.U, &p.V};
    const int ids[] = {AVS_PLANAR_Y, AVS_PLANAR_U, AVS_PLANAR_V};
    for (int i = 0; i < 3; ++i)
      for (int y = 0; y < avs_get_height_p(frame, ids[i]); ++y) {
        const uint8_t* row = avs_get_read_ptr_p(frame, ids[i]) + y * avs_get_pitch_p(frame, ids[i]);
        planes[i]->insert(planes[i]->end(), row, row + avs_get_row_size_p(frame, ids[i]));
      }
    Api.avs_release_video_frame(frame);
    return p;
  }

  // ScriptClip(source, script) as the synth filter invokes it: the picture it gives, or the error.
  TPlanes Run(const std::string& script, std::string* error = nullptr) {
    AVS_Clip* source = SourceClip();
    AVS_Value items[2];
    Api.avs_set_to_clip(&items[0], source);
    Api.avs_release_clip(source);
    items[1] = avs_new_value_string(script.c_str());
    const AVS_Value result = Api.avs_invoke(Env, "ScriptClip", avs_new_value_array(items, 2), nullptr);
    Api.avs_release_value(items[0]);
    if (avs_is_error(result)) {
      if (error) *error = avs_as_error(result);
      return {};
    }
    if (error) error->clear();
    AVS_Clip* clip = Api.avs_take_clip(result, Env);
    Api.avs_release_value(result);
    TPlanes picture = FrameOf(clip);
    Api.avs_release_clip(clip);
    return picture;
  }

  media::TMediaLibraryUse Libraries;
  const media::TScriptApi& Api;
  AVS_ScriptEnvironment* Env;
  TPlanes Picture = pattern(5, 3);
  int Freed = 0;
};

}  // namespace

TEST_F(ScriptClipTest, ScriptsChangeThePictureAsTheirFunctionsSay) {
  const TPlanes in = Picture;
  const TMap tweaked = [](uint8_t s) { return clampRound((s - 16) * 1.2 + 10 + 16); };
  struct TCase {
    const char* Script;
    TPlanes Expected;
  } cases[] = {
      {"last", in},
      {"Invert()", mapped(in, negative, negative)},
      {"Invert(last)", mapped(in, negative, negative)},
      {"Greyscale()", mapped(in, same, [](uint8_t) { return uint8_t{128}; })},
      {"FlipVertical()", flipped(in, true)},
      {"FlipHorizontal()", flipped(in, false)},
      {"Tweak(bright=10, cont=1.2)", mapped(in, tweaked, same)},
      {"Tweak(cont=1.2, bright=10)", mapped(in, tweaked, same)},
      {"Tweak(0, 0.5)", mapped(in, same, [](uint8_t s) { return clampRound((s - 128) * 0.5 + 128); })},
      {"Tweak(bright = 5 * 4 / 2, cont = 2.4 / 2)", mapped(in, tweaked, same)},
      {"Tweak(hue=180)", mapped(in, same, [](uint8_t s) { return clampRound(128 - (s - 128)); })},
      {"Levels(0, 1.0, 255, 255, 0)", mapped(in, negative, [](uint8_t s) { return clampRound(128 - (s - 128)); })},
      {"Levels(gamma=2.0)", mapped(in, [](uint8_t s) { return clampRound(std::pow(s / 255.0, 0.5) * 255); }, same)},
      {"Invert().FlipVertical()", flipped(mapped(in, negative, negative), true)},
      {"FlipVertical(Invert())", flipped(mapped(in, negative, negative), true)},
      {"x = Invert()\nx.FlipHorizontal()", flipped(mapped(in, negative, negative), false)},
      {"Invert()\nFlipHorizontal()  # each clip becomes last", flipped(mapped(in, negative, negative), false)},
      {"Invert(); Invert()", in},
      {"x = 1", in},  // a script ending in an assignment gives last
      {"Width() == 5 && Height() > 2 ? Invert() : last", mapped(in, negative, negative)},
      {"!true || \"a\" + \"b\" != \"ab\" ? Invert() : last", in},
      {"ScriptClip(\"Invert()\")", mapped(in, negative, negative)},
      {"ScriptClip(\"\"\"ScriptClip(\"Invert()\")\"\"\")", mapped(in, negative, negative)},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(Run(c.Script, &error), c.Expected) << c.Script << ": " << error;
  }
}

TEST_F(ScriptClipTest, ScriptErrorsAreErrorValuesNamingTheirCause) {
  struct TCase {
    std::string Script;
    const char* Message;  // part of the error text
  } cases[] = {
      {"Foo()", "there is no function named \"Foo\" (line 1, column 1)"},
      {"Invert()\n  Bar", "\"Bar\" is neither a variable nor a function (line 2, column 3)"},
      {"Invert(", "found the end of the script"},
      {"Invert() Invert()", "expected the end of the statement"},
      {"Tweak(bright=\"a\")", "Tweak: argument \"bright\" must be float, not string"},
      {"Tweak(nosuch=1)", "Tweak has no argument named \"nosuch\""},
      {"Tweak(bright=1, bright=2)", "given its argument \"bright\" twice"},
      {"Tweak(bright=1, 2)", "expected a named argument after a named one"},
      {"Tweak(sat=20)", "Tweak: sat must lie between"},
      {"Levels(10, 1.0, 10)", "input_low and input_high must differ"},
      {"Invert(1, 2)", "Invert takes 1 arguments"},
      {"1 + 2", "ScriptClip: the script gives int, not a clip"},
      {"1 / 0", "division by zero"},
      {"2147483647 + 1", "too large"},
      {"99999999999", "too large"},
      {"\"open", "no closing quote"},
      {"Invert() @", "unexpected character '@'"},
      {"true ? 1", "expected \":\""},
      {"Invert() + 1", "\"+\" cannot take clip and int"},
      {"ScriptClip(\"Foo()\")", "there is no function named \"Foo\""},
      // Nesting that would exhaust the stack of a recursive reader or evaluator.
      {std::string(100000, '(') + "last" + std::string(100000, ')'), "nests too deeply"},
      {std::string(100000, '-') + "1", "nests too deeply"},
      {"1" + [] { std::string s; for (int i = 0; i < 100000; ++i) s += "+1"; return s; }(), "nests too deeply"},
      {[] { std::string s; for (int i = 0; i < 100000; ++i) s += "true ? 1 : "; return s + "1"; }(), "nests too deeply"},
      {"last" + [] { std::string s; for (int i = 0; i < 100000; ++i) s += ".Invert()"; return s; }(), "nests too deeply"},
  };
  for (const auto& c : cases) {
    std::string error;
    Run(c.Script, &error);
    EXPECT_NE(error.find(c.Message), std::string::npos) << c.Script.substr(0, 40) << " gave \"" << error << "\"";
  }
  // The environment stays usable after every failure.
  EXPECT_EQ(Run("Invert()"), mapped(Picture, negative, negative));
}

TEST_F(ScriptClipTest, InvokeNamesArgumentsAndCallsTheCallersFunctions) {
  // A function of the caller's, called from a script with a positional and a named argument.
  struct TCall {
    int Calls = 0;
    short ArraySize = 0;
  } record;
  ASSERT_EQ(Api.avs_add_function(
                Env, "Twice", "i[by]i",
                [](AVS_ScriptEnvironment*, AVS_Value args, void* data) {
                  auto* r = static_cast<TCall*>(data);
                  ++r->Calls;
                  r->ArraySize = args.array_size;
                  const int by = avs_is_void(args.d.array[1]) ? 2 : args.d.array[1].d.integer;
                  return avs_new_value_int(args.d.array[0].d.integer * by);
                },
                &record),
            0);
  const TMap up6 = [](uint8_t s) { return clampRound((s - 16) * 1.0 + 6 + 16); };
  EXPECT_EQ(Run("Tweak(bright=Twice(3))"), mapped(Picture, up6, same));
  EXPECT_EQ(Run("Tweak(bright=Twice(2, by=3))"), mapped(Picture, up6, same));
  EXPECT_EQ(record.Calls, 2);
  EXPECT_EQ(record.ArraySize, 2);
  EXPECT_EQ(Api.avs_add_function(Env, "Bad", "[unclosed", nullptr, nullptr), -1);
  EXPECT_EQ(Api.avs_add_function(Env, "Bad", "q", [](AVS_ScriptEnvironment*, AVS_Value, void*) { return avs_void_value(); },
                                 nullptr),
            -1);

  // avs_invoke with names for some of its arguments.
  AVS_Clip* source = SourceClip();
  AVS_Value items[2];
  Api.avs_set_to_clip(&items[0], source);
  Api.avs_release_clip(source);
  items[1] = avs_new_value_float(6);
  const char* names[] = {nullptr, "bright"};
  const AVS_Value result = Api.avs_invoke(Env, "Tweak", avs_new_value_array(items, 2), names);
  Api.avs_release_value(items[0]);
  ASSERT_TRUE(avs_is_clip(result)) << avs_as_error(result);
  AVS_Clip* clip = Api.avs_take_clip(result, Env);
  Api.avs_release_value(result);
  EXPECT_EQ(FrameOf(clip), mapped(Picture, up6, same));
  Api.avs_release_clip(clip);

  const AVS_Value missing = Api.avs_invoke(Env, "NoSuchFunction", avs_void_value(), nullptr);
  ASSERT_TRUE(avs_is_error(missing));
  EXPECT_STREQ(avs_as_error(missing), "there is no function named \"NoSuchFunction\"");
}

TEST_F(ScriptClipTest, VariablesReachScriptsAndBack) {
  ASSERT_EQ(Api.avs_set_var(Env, "amount", avs_new_value_int(6)), 0);
  std::string text = "Invert";
  ASSERT_EQ(Api.avs_set_global_var(Env, "name", avs_new_value_string(text.c_str())), 0);
  text = "overwritten";  // the environment keeps its own copy
  const TMap up6 = [](uint8_t s) { return clampRound((s - 16) * 1.0 + 6 + 16); };
  EXPECT_EQ(Run("name == \"Invert\" ? Tweak(bright=amount) : last"), mapped(Picture, up6, same));
  const AVS_Value amount = Api.avs_get_var(Env, "AMOUNT");  // names ignore case
  EXPECT_EQ(amount.type, 'i');
  EXPECT_EQ(amount.d.integer, 6);
  EXPECT_TRUE(avs_is_void(Api.avs_get_var(Env, "nothing")));
  EXPECT_EQ(Api.avs_set_var(Env, "9lives", avs_new_value_int(1)), -1);
  // A script's own variables stay in its run.
  Run("local = 1\nlast");
  EXPECT_TRUE(avs_is_void(Api.avs_get_var(Env, "local")));
}

TEST_F(ScriptClipTest, ClipsAndFramesLiveAsLongAsTheirReferences) {
  AVS_Clip* source = SourceClip();
  AVS_Value value;
  Api.avs_set_to_clip(&value, source);
  AVS_Value copy;
  Api.avs_copy_value(&copy, value);
  Api.avs_release_clip(source);
  Api.avs_release_value(value);
  EXPECT_EQ(Freed, 0);
  AVS_Clip* taken = Api.avs_take_clip(copy, Env);
  Api.avs_release_value(copy);
  EXPECT_EQ(Freed, 0);
  Api.avs_release_clip(taken);
  EXPECT_EQ(Freed, 1);
  Run("Invert().FlipVertical()");
  EXPECT_EQ(Freed, 2);  // the source of a script run goes with its result

  const AVS_VideoInfo vi{33, 17, 25, 1, 1, AVS_CS_I420};
  AVS_VideoFrame* frame = Api.avs_new_video_frame_a(Env, &vi, 32);
  ASSERT_NE(frame, nullptr);
  for (const int plane : {AVS_PLANAR_Y, AVS_PLANAR_U, AVS_PLANAR_V}) {
    EXPECT_EQ(reinterpret_cast<uintptr_t>(avs_get_read_ptr_p(frame, plane)) % 32, 0u);
    EXPECT_EQ(avs_get_pitch_p(frame, plane) % 32, 0);
  }
  EXPECT_EQ(avs_get_pitch_p(frame, AVS_PLANAR_U) * 2, avs_get_pitch_p(frame, AVS_PLANAR_Y));
  EXPECT_EQ(avs_get_row_size_p(frame, AVS_PLANAR_U), 17);
  EXPECT_EQ(avs_get_height_p(frame, AVS_PLANAR_V), 9);
  Api.avs_release_video_frame(frame);

  const AVS_VideoInfo rgb{8, 8, 25, 1, 1, 1 << 28};
  EXPECT_EQ(Api.avs_new_video_frame_a(Env, &rgb, 16), nullptr);
  EXPECT_EQ(Api.avs_create_script_environment(AVS_INTERFACE_VERSION + 1), nullptr);
  EXPECT_EQ(Api.avs_take_clip(avs_new_value_int(1), Env), nullptr);
  EXPECT_EQ(Api.avs_get_frame(nullptr, 0), nullptr);
}
