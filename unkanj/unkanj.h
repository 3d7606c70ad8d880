/* The C interface of UNKANJ.DLL, the kanji-code converter. The program loads the library at
 * run time (dlopen) and looks these two symbols up; nothing else is exported.
 *
 *   ccGetRunning()  non-zero while another conversion of the library from the same program
 *                   directory runs (they share one work file).
 *   ccCommand()     runs one command, "t <code> <line> <source> <destination>", and returns 0
 *                   on success; the buffer receives one NUL-terminated line (a summary, or the
 *                   reason of a failure), cut to bufferSize bytes. buffer may be NULL.
 *
 * Codes: "-s" Shift-JIS (CP932), "-j" JIS (ISO-2022-JP), "-e" EUC-JP, "-w" UTF-8. Line ends:
 * "-crlf" or
 * "-CRLF", "-CR", "-LF". A path with a blank or a comma is given in double quotes. */
#ifndef SCRIVLET_UNKANJ_H
#define SCRIVLET_UNKANJ_H

#ifdef __cplusplus
extern "C" {
#endif

#if defined(UNKANJ_BUILDING)
#define UNKANJ_API __attribute__((visibility("default")))
#else
#define UNKANJ_API
#endif

UNKANJ_API int ccGetRunning(void);
UNKANJ_API int ccCommand(void *hwnd, const char *command, char *buffer, int bufferSize);

/* The same, as the types of the pointers dlsym() gives. */
typedef int (*ccGetRunningFunction)(void);
typedef int (*ccCommandFunction)(void *hwnd, const char *command, char *buffer, int bufferSize);

#ifdef __cplusplus
}
#endif

#endif
