#pragma once
/* The C interface of the script-clip library (libvelocast-scriptclip.so), in the style of the
 * AviSynth C interface: a script environment with named functions, values that are clips,
 * numbers, strings or errors, clips that deliver frames on request, and frames of planar YUV
 * 4:2:0 pictures. The program loads the library at run time by file name and resolves these
 * entry points by name, so the names and the records below are the contract.
 *
 * Ownership: a value of type clip holds one reference to its clip; avs_release_value drops it,
 * avs_copy_value adds one. avs_take_clip and avs_copy_clip hand out a new reference that
 * avs_release_clip drops. Frames returned by avs_get_frame and avs_new_video_frame_a belong to
 * the caller until avs_release_video_frame. Strings inside values returned by the library
 * (error texts, string results) stay valid until the environment is deleted.
 *
 * An environment, its clips and their frames are used by one thread at a time. No entry point
 * lets an exception or a crash out: failures are error values ('e'), null results and the
 * texts of avs_get_error and avs_clip_get_error. */
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(VC_SCRIPTCLIP_BUILD)
#define AVSC_API __attribute__((visibility("default")))
#else
#define AVSC_API
#endif

/* The interface version this library implements; environments are created for it or older. */
#define AVS_INTERFACE_VERSION 2

/* Colour formats (AVS_VideoInfo.pixel_type). Only the planar 4:2:0 ones have frames here. */
#define AVS_CS_YUV ((int)(1u << 29))
#define AVS_CS_PLANAR ((int)(1u << 31))
#define AVS_CS_YV12 ((int)((1u << 3) | (1u << 29) | (1u << 31))) /* 0xA0000008: Y, V, U in memory */
#define AVS_CS_I420 ((int)((1u << 4) | (1u << 29) | (1u << 31))) /* 0xA0000010: Y, U, V in memory */

/* Planes of a frame. */
#define AVS_PLANAR_Y 1
#define AVS_PLANAR_U 2
#define AVS_PLANAR_V 4

typedef struct AVS_Clip AVS_Clip;
typedef struct AVS_ScriptEnvironment AVS_ScriptEnvironment;

typedef struct AVS_VideoInfo {
  int width;                /* pixels */
  int height;               /* pixels */
  unsigned fps_numerator;   /* frames per second = numerator / denominator */
  unsigned fps_denominator;
  int num_frames;
  int pixel_type;           /* AVS_CS_* */
} AVS_VideoInfo;

typedef struct AVS_VideoFrameBuffer {
  uint8_t* data;  /* all planes, aligned as requested */
  int data_size;  /* bytes */
} AVS_VideoFrameBuffer;

/* One picture. Offsets are bytes from vfb->data; pitches are bytes from one line to the next;
 * row sizes are the bytes of pixels in a line. Chroma planes have half the pitch of Y, and the
 * row size and height of half the picture rounded up (an odd width or height keeps its last
 * chroma column or line). */
typedef struct AVS_VideoFrame {
  long refcount;  /* owners of the frame; its planes may be written only while it has one */
  AVS_VideoFrameBuffer* vfb;
  int offset, pitch, row_size, height;  /* Y */
  int offsetU, offsetV, pitchUV;        /* U and V */
  int row_sizeUV, heightUV;
} AVS_VideoFrame;

/* A value: 'v' void, 'c' clip, 'b' boolean, 'i' integer, 'f' floating point, 's' string,
 * 'a' array of array_size values (only as arguments), 'e' error (the text in d.string). */
typedef struct AVS_Value {
  short type;
  short array_size;
  union {
    AVS_Clip* clip;
    char boolean;
    int integer;
    double floating_pt;
    const char* string;
    const struct AVS_Value* array;
  } d;
} AVS_Value;

typedef struct AVS_FilterInfo AVS_FilterInfo;

/* A clip made by the caller (avs_new_c_filter): the library asks it for frames through
 * get_frame, which returns a new frame or null after setting error. free_filter, when set, is
 * called once when the last reference to the clip goes. */
struct AVS_FilterInfo {
  AVS_Clip* child;  /* the clip given to avs_new_c_filter when it was stored, else null */
  AVS_VideoInfo vi; /* the clip's description; starts as the child's */
  AVS_ScriptEnvironment* env;
  AVS_VideoFrame* (*get_frame)(AVS_FilterInfo* fi, int n);
  void (*free_filter)(AVS_FilterInfo* fi);
  const char* error;
  void* user_data;
};

/* A function callable from scripts: args is an array with one value per parameter of the
 * function's signature (void for an optional parameter left out); the result belongs to the
 * caller. */
typedef AVS_Value (*AVS_ApplyFunc)(AVS_ScriptEnvironment* env, AVS_Value args, void* user_data);

/* Environments and functions */
AVSC_API AVS_ScriptEnvironment* avs_create_script_environment(int version); /* null for a newer version */
AVSC_API void avs_delete_script_environment(AVS_ScriptEnvironment* env);
AVSC_API const char* avs_get_error(AVS_ScriptEnvironment* env); /* the last failure, or null */
/* params: one letter per parameter (c clip, i integer, f number, s string, b boolean, . any),
 * each optionally preceded by [name]; named parameters are optional, the others required.
 * Returns 0, or -1 for a bad name or signature. A later function of the same name replaces it. */
AVSC_API int avs_add_function(AVS_ScriptEnvironment* env, const char* name, const char* params, AVS_ApplyFunc apply,
                              void* user_data);
AVSC_API int avs_function_exists(AVS_ScriptEnvironment* env, const char* name);
/* Calls a function with one argument, or with the elements of an array; arg_names, when given,
 * names the array's elements (null entries are positional). */
AVSC_API AVS_Value avs_invoke(AVS_ScriptEnvironment* env, const char* name, AVS_Value args, const char** arg_names);
AVSC_API AVS_Value avs_get_var(AVS_ScriptEnvironment* env, const char* name); /* void when not set */
AVSC_API int avs_set_var(AVS_ScriptEnvironment* env, const char* name, AVS_Value value);
AVSC_API int avs_set_global_var(AVS_ScriptEnvironment* env, const char* name, AVS_Value value);

/* Values */
AVSC_API void avs_copy_value(AVS_Value* dest, AVS_Value src);
AVSC_API void avs_release_value(AVS_Value value);
AVSC_API void avs_set_to_clip(AVS_Value* value, AVS_Clip* clip);

/* Clips */
AVSC_API AVS_Clip* avs_take_clip(AVS_Value value, AVS_ScriptEnvironment* env);
AVSC_API AVS_Clip* avs_copy_clip(AVS_Clip* clip);
AVSC_API void avs_release_clip(AVS_Clip* clip);
AVSC_API const char* avs_clip_get_error(AVS_Clip* clip); /* why the last avs_get_frame gave null */
AVSC_API const AVS_VideoInfo* avs_get_video_info(AVS_Clip* clip);
AVSC_API AVS_VideoFrame* avs_get_frame(AVS_Clip* clip, int n);
/* A clip of the caller's: *fi is filled in by the library and then by the caller. */
AVSC_API AVS_Clip* avs_new_c_filter(AVS_ScriptEnvironment* env, AVS_FilterInfo** fi, AVS_Value child,
                                    int store_child);

/* Frames */
AVSC_API AVS_VideoFrame* avs_new_video_frame_a(AVS_ScriptEnvironment* env, const AVS_VideoInfo* vi, int align);
AVSC_API AVS_VideoFrame* avs_copy_video_frame(AVS_VideoFrame* frame);
AVSC_API void avs_release_video_frame(AVS_VideoFrame* frame);
AVSC_API void avs_bit_blt(AVS_ScriptEnvironment* env, uint8_t* dstp, int dst_pitch, const uint8_t* srcp,
                          int src_pitch, int row_size, int height);

/* Value helpers */
static inline int avs_is_void(AVS_Value v) { return v.type == 'v'; }
static inline int avs_is_clip(AVS_Value v) { return v.type == 'c'; }
static inline int avs_is_error(AVS_Value v) { return v.type == 'e'; }
static inline int avs_is_array(AVS_Value v) { return v.type == 'a'; }
static inline const char* avs_as_error(AVS_Value v) { return v.type == 'e' ? v.d.string : 0; }
static inline AVS_Value avs_void_value(void) {
  AVS_Value v;
  v.type = 'v';
  v.array_size = 0;
  v.d.integer = 0;
  return v;
}
static inline AVS_Value avs_new_value_int(int i) {
  AVS_Value v = avs_void_value();
  v.type = 'i';
  v.d.integer = i;
  return v;
}
static inline AVS_Value avs_new_value_float(double f) {
  AVS_Value v = avs_void_value();
  v.type = 'f';
  v.d.floating_pt = f;
  return v;
}
static inline AVS_Value avs_new_value_bool(int b) {
  AVS_Value v = avs_void_value();
  v.type = 'b';
  v.d.boolean = (char)(b != 0);
  return v;
}
static inline AVS_Value avs_new_value_string(const char* s) {
  AVS_Value v = avs_void_value();
  v.type = 's';
  v.d.string = s;
  return v;
}
static inline AVS_Value avs_new_value_array(const AVS_Value* items, int size) {
  AVS_Value v = avs_void_value();
  v.type = 'a';
  v.array_size = (short)size;
  v.d.array = items;
  return v;
}

/* Frame geometry of the planes (AVS_PLANAR_Y, _U, _V) */
static inline int avs_get_pitch_p(const AVS_VideoFrame* f, int plane) {
  return plane == AVS_PLANAR_U || plane == AVS_PLANAR_V ? f->pitchUV : f->pitch;
}
static inline int avs_get_row_size_p(const AVS_VideoFrame* f, int plane) {
  return plane == AVS_PLANAR_U || plane == AVS_PLANAR_V ? f->row_sizeUV : f->row_size;
}
static inline int avs_get_height_p(const AVS_VideoFrame* f, int plane) {
  return plane == AVS_PLANAR_U || plane == AVS_PLANAR_V ? f->heightUV : f->height;
}
static inline const uint8_t* avs_get_read_ptr_p(const AVS_VideoFrame* f, int plane) {
  const int offset = plane == AVS_PLANAR_U ? f->offsetU : plane == AVS_PLANAR_V ? f->offsetV : f->offset;
  return f->vfb->data + offset;
}
/* Null while the frame has more than one owner. */
static inline uint8_t* avs_get_write_ptr_p(const AVS_VideoFrame* f, int plane) {
  if (f->refcount != 1) return 0;
  const int offset = plane == AVS_PLANAR_U ? f->offsetU : plane == AVS_PLANAR_V ? f->offsetV : f->offset;
  return f->vfb->data + offset;
}

#ifdef __cplusplus
}
#endif
