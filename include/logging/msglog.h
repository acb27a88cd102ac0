/* kivlogging's C interface: the same loggers as logging/MsgLog.h, for C
 * programs, for compilers whose C++ objects differ from the library's (a
 * Windows DLL built with mingw-w64 g++, used from Visual C++ or clang-cl)
 * and for other languages through their C calls (Python's ctypes, ...).
 *
 * Loggers are opaque handles. A handle from kivlog_new_console_log or
 * kivlog_new_file_log belongs to the caller, who gives it back with
 * kivlog_delete_log; the system logger belongs to the library and is never
 * deleted. Texts are NUL-terminated narrow strings in the process's code
 * page (on Windows the ANSI code page, UTF-8 where the application's
 * manifest asks for it) and may be NULL. No function reports an error by
 * anything but its result, and none keeps a pointer it was given.
 */
#ifndef KIVLOGGING_LOGGING_MSGLOG_C_H
#define KIVLOGGING_LOGGING_MSGLOG_C_H

#if defined(_WIN32)
#if defined(KIVLOGGING_BUILDING)
#define KIVLOGGING_C_API __declspec(dllexport)
#elif defined(KIVLOGGING_STATIC)
#define KIVLOGGING_C_API
#else
#define KIVLOGGING_C_API __declspec(dllimport)
#endif
#else
#define KIVLOGGING_C_API __attribute__((visibility("default")))
#endif

/* The levels in severity order; the same numbers as the C++ interface's. */
#ifndef KIVLOGGING_LEVEL_DEBUG
#define KIVLOGGING_LEVEL_DEBUG 0
#define KIVLOGGING_LEVEL_INFO 1
#define KIVLOGGING_LEVEL_WARN 2
#define KIVLOGGING_LEVEL_ERROR 3
#define KIVLOGGING_LEVEL_FATAL 4
#endif

/* The default classification marking, with its trailing blank. */
#define KIVLOG_DEFAULT_MARKING "(U) "

#ifdef __cplusplus
extern "C" {
#endif

typedef struct kivlog_log kivlog_log;

/* The process-wide system logger, or NULL when the process has none
 * (logging off at the first call, or no properties file). Every call
 * returns the same handle. */
KIVLOGGING_C_API kivlog_log* kivlog_system_logger(void);

/* A new log writing to standard output; NULL when it cannot be made. */
KIVLOGGING_C_API kivlog_log* kivlog_new_console_log(void);

/* A new log writing to the file, whose content it replaces. A log whose
 * file cannot be opened is returned all the same and answers 0 to
 * kivlog_can_log. NULL for a NULL name or when it cannot be made. */
KIVLOGGING_C_API kivlog_log* kivlog_new_file_log(const char* file_name);

/* Deletes a log of kivlog_new_console_log or kivlog_new_file_log (closing a
 * file first) and sets *log to NULL. 1 when it deleted the log or there was
 * nothing to delete; 0, changing nothing, for the system logger. Not while
 * another thread writes through the log. */
KIVLOGGING_C_API int kivlog_delete_log(kivlog_log** log);

/* 1 while the log accepts messages; 0 for NULL and for a closed log. */
KIVLOGGING_C_API int kivlog_can_log(const kivlog_log* log);

/* Stops the log accepting messages (a file log closes its file). */
KIVLOGGING_C_API void kivlog_close(kivlog_log* log);

/* Writes a message of the level (KIVLOGGING_LEVEL_*; a number outside
 * them counts as the nearest) with the method and the marking, as the C++
 * level calls Debug ... Fatal(method, text, marking) write it: nothing
 * while logging is off or below the threshold, nothing for an empty text.
 * A NULL method is written as "unknown method", a NULL marking as none. */
KIVLOGGING_C_API void kivlog_write(kivlog_log* log, int level, const char* method,
                                   const char* text, const char* marking);

/* Writes the marking and the text without a head line, whatever the
 * threshold. */
KIVLOGGING_C_API void kivlog_write_raw(kivlog_log* log, const char* text, const char* marking);

/* The process-wide logging switch. */
KIVLOGGING_C_API void kivlog_turn_on(void);
KIVLOGGING_C_API void kivlog_turn_off(void);
KIVLOGGING_C_API int kivlog_is_on(void);

/* The severity threshold: messages of lower levels are dropped. */
KIVLOGGING_C_API int kivlog_threshold(void);
KIVLOGGING_C_API void kivlog_set_threshold(int level);

/* The value of a key of kiv.system.properties, or NULL. The text belongs to
 * the library: do not change or free it. */
KIVLOGGING_C_API const char* kivlog_property(const char* key);

#ifdef __cplusplus
}
#endif

#endif /* KIVLOGGING_LOGGING_MSGLOG_C_H */
