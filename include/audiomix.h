/* audiomix: in-process audio effects (graphic equaliser, reverb, compressor)
 * for hosts that play or record signed 16-bit PCM, mono or stereo.
 *
 * Calling order: audiomix_begin, audiomix_set_mainwnd, audiomix_init(rate,
 * channels, show), then audiomix_change for every buffer; audiomix_close at
 * the end. Hosts that run several streams create engines instead (below).
 *
 * Threads. Each engine, the default one included, has two sides.
 *   - The audio side is audiomix_change (audiomix_engine_process and
 *     audiomix_engine_process_float for an engine): one thread at a time per
 *     engine. It never locks, waits or allocates; it processes each buffer
 *     with one consistent set of settings, the newest when it starts.
 *   - The control side is every other function: any threads, at the same
 *     time as each other and as the audio side. Calls are serialised per
 *     engine; a change acts on the next buffer the audio side starts, and
 *     getters return it at once. Resets (audiomix_init, datarefresh, a new
 *     band count) reach the signal at the start of that buffer.
 *   - The control window runs on the thread that called audiomix_begin;
 *     audiomix_begin, audiomix_close and audiomix_setdisp belong on that
 *     thread. Called from elsewhere, the window follows when its thread
 *     runs.
 *   - Different engines share nothing but the read-only preset list: each
 *     can run on its own audio thread.
 *
 * Every function is cdecl and exported by name and ordinal (shown as @n).
 * None reports an error, and none crashes on bad arguments: each documents
 * below what it does with them.
 */
#ifndef AUDIOMIX_H
#define AUDIOMIX_H

#include <stdint.h>

#if defined(_WIN32)
#define AUDIOMIX_CALL __cdecl
#define AUDIOMIX_API
#elif defined(AUDIOMIX_BUILDING_LIBRARY)
#define AUDIOMIX_CALL
#define AUDIOMIX_API __attribute__((visibility("default")))
#else
#define AUDIOMIX_CALL
#define AUDIOMIX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Sent to the host window with SendMessage when the user closes the control
 * window or presses its adjust button after changing a setting. */
#define AUDIOMIX_MSG_SETTINGS_CHANGED        39321u
#define AUDIOMIX_MSG_SETTINGS_CHANGED_WPARAM 1111
#define AUDIOMIX_MSG_SETTINGS_CHANGED_LPARAM 20

/* A window handle (HWND on Windows), passed through untouched. */
typedef void* audiomix_window;

/* @1 Creates the control window (hidden, topmost) on the calling thread, or
 * hides the existing one. colour is 0x00BBGGRR. Safe to call again. */
AUDIOMIX_API void AUDIOMIX_CALL audiomix_begin(uint32_t colour);

/* @2 Destroys the control window; switches reverb and compressor off.
 * Harmless without a window or when called twice. */
AUDIOMIX_API void AUDIOMIX_CALL audiomix_close(void);

/* @3 Processes lengthBytes bytes of interleaved samples in place and, when
 * drawDisplay is 1 and the window is shown, draws the level display.
 * Returns lengthBytes in every case. A null buffer or a negative length does
 * nothing; a buffer of more than 4100 frames is processed as consecutive
 * 4100-frame buffers; with a channel count other than 1 or 2 the audio is left
 * untouched. */
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_change(int16_t* samples, int32_t lengthBytes, uint8_t drawDisplay);

/* @4 Resets every parameter to its default for this format (the stage order
 * is kept). Unsupported rates are stored: reverb and compressor run at them,
 * the equaliser stays off because it has no tables for them.
 * Channels other than 1 or 2 are stored and reported, and audio is then left
 * untouched. Before audiomix_begin the window steps are skipped. */
AUDIOMIX_API void AUDIOMIX_CALL audiomix_init(int32_t sampleRate, int32_t channels, int32_t show);

/* @5 Equaliser on (1) or off (anything else stored as given; only 1 runs). */
AUDIOMIX_API void AUDIOMIX_CALL audiomix_setiir(uint8_t on);

/* @8 Shows the window (1) or hides it (anything else, stored as the display
 * state). Does nothing without a window. */
AUDIOMIX_API void AUDIOMIX_CALL audiomix_setdisp(uint8_t show);

/* @9 Clears the reverb rings and the equaliser memories (supported rates). */
AUDIOMIX_API void AUDIOMIX_CALL audiomix_datarefresh(void);

/* @12 The display state: 1 shown, 0 hidden, or the value last given to
 * audiomix_setdisp. */
AUDIOMIX_API uint8_t AUDIOMIX_CALL audiomix_get_dispstatus(void);

/* @13 The rate last passed to audiomix_init (1 before the first call). */
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_get_sample(void);

/* @14 The window that receives AUDIOMIX_MSG_SETTINGS_CHANGED. Call it after
 * audiomix_begin, which clears it. */
AUDIOMIX_API void AUDIOMIX_CALL audiomix_set_mainwnd(audiomix_window window);

/* @15 The channel count last passed to audiomix_init (0 before the first). */
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_get_ch(void);

/* @16 Caption of the control window, in the host's ANSI code page. Text
 * beyond 511 bytes is cut (never inside a double-byte character); null
 * means empty. */
AUDIOMIX_API void AUDIOMIX_CALL audiomix_set_title(const char* text);

/* Host parameter interface, for hosts and tools that drive the effects
 * without the window. Changes apply exactly as the control window's controls
 * apply them and mark the settings as changed.
 *
 * Names: eq.on, reverb.on, comp.on, order.reverb_first, comp.threshold_db,
 * comp.ratio, comp.attack_ms, comp.release_ms, reverb.comb_db, reverb.taps,
 * reverb.wet_db, reverb.decay_m, reverb.comb_m, reverb.base_m, eq.bands,
 * eq.pregain, eq.second_pass, and eq.band.0 ... eq.band.<bands - 1>. */
#define AUDIOMIX_PARAM_OK           0
#define AUDIOMIX_PARAM_UNKNOWN      3
#define AUDIOMIX_PARAM_OUT_OF_RANGE 5

/* @17 Returns 0 when applied, 3 for an unknown name, 5 for a value outside
 * the parameter's range or not whole where it must be (nothing changes). */
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_param_set(const char* name, double value);

/* @18 Returns 0 and the stored value, or 3 (unknown name, null pointer). */
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_param_get(const char* name, double* value);

/* @19 Writes the index-th parameter name, NUL-terminated and cut to size
 * bytes, and returns its full length; 3 when index is out of range. Every
 * name is longer than 3 characters. */
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_param_name(int32_t index, char* buffer, int32_t size);

/* Equaliser presets: those of the current band count (eq.bands), in the order
 * of the control window's preset box: the built-in ones first, then the
 * user's from the preset file beside the library. The list is read when
 * audiomix_begin creates the window and stays after audiomix_close; before
 * the first audiomix_begin it is empty. Any thread, as the other control
 * functions: a preset saved or deleted in the window shows at once. */

/* @20 How many presets the current band count has. */
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_preset_count(void);

/* @21 Writes the index-th preset's name as UTF-8, NUL-terminated and cut to
 * size bytes without splitting a character, and returns the full name's
 * length in bytes (call with size 0 to learn it). -1 when index is out of
 * range; a usable buffer then receives an empty string. */
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_preset_name(int32_t index, char* buffer, int32_t size);

/* @22 Applies the index-th preset as choosing it in the window does: the
 * band gains of the current layout (the pre-gain and other settings stay),
 * settings marked changed. Returns 0 when applied, 3 when index is out of
 * range (nothing changes). */
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_preset_apply(int32_t index);

/* Engines for hosts: any number of independent streams, each with its own
 * settings, signal state and random source, without a window. An engine
 * starts as the default engine stands after audiomix_begin and
 * audiomix_init(sampleRate, channels, 0): the same settings and the same
 * random draws, so the same parameter calls and buffers give the same
 * samples. Every function below accepts a null engine and then does nothing
 * (returning 0, or 3 where a code is returned). */
typedef struct audiomix_engine audiomix_engine;

/* @23 A new engine, or null for channels outside 1..2, a rate <= 0 or no
 * memory. Rates without equaliser tables run with the equaliser off. */
AUDIOMIX_API audiomix_engine* AUDIOMIX_CALL audiomix_engine_create(int32_t sampleRate, int32_t channels);

/* @24 Frees an engine. Its audio side must not be running. */
AUDIOMIX_API void AUDIOMIX_CALL audiomix_engine_destroy(audiomix_engine* engine);

/* @25 Processes frames interleaved frames in place (any number; long buffers
 * are split as audiomix_change splits them). Returns the frames processed: 0
 * for a null buffer or a negative count. */
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_engine_process(audiomix_engine* engine, int16_t* samples, int32_t frames);

/* @26 Planar float frames: in[c] and out[c] per channel, which may be the
 * same arrays. Each input sample is quantised to 16 bits (x 32768, rounded
 * to nearest, clamped; NaN is 0) and each output is the 16-bit result /
 * 32768, so the result equals audiomix_engine_process exactly. A null in[c]
 * is silence, a null out[c] is not written; null in or out arrays likewise.
 * Returns the frames processed (0 for a negative count). */
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_engine_process_float(audiomix_engine* engine, const float* const* in,
                                                                 float* const* out, int32_t frames);

/* @27 @28 @29 As audiomix_param_set, _get and _name, for the engine. */
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_engine_param_set(audiomix_engine* engine, const char* name, double value);
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_engine_param_get(audiomix_engine* engine, const char* name, double* value);
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_engine_param_name(audiomix_engine* engine, int32_t index, char* buffer,
                                                              int32_t size);

/* @30 @31 @32 As audiomix_preset_count, _name and _apply, for the engine's
 * band count: the built-in presets and the user's from the preset file
 * beside the library, read once per process (on the first call of any of
 * these) and shared read-only by all engines. Any thread. */
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_engine_preset_count(audiomix_engine* engine);
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_engine_preset_name(audiomix_engine* engine, int32_t index, char* buffer,
                                                               int32_t size);
AUDIOMIX_API int32_t AUDIOMIX_CALL audiomix_engine_preset_apply(audiomix_engine* engine, int32_t index);

/* @33 Clears the signal state as audiomix_datarefresh does (reverb rings,
 * equaliser memories, a new dither table; at equaliser rates only). */
AUDIOMIX_API void AUDIOMIX_CALL audiomix_engine_reset(audiomix_engine* engine);

#ifdef __cplusplus
}
#endif

#endif /* AUDIOMIX_H */
