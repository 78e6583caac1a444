/* "Info Messages": messages and questions to the user, each of one or two
   lines (the second may be null). Versions 1..3. */
#ifndef ORVIK_SDK_INFO_MESSAGES_H
#define ORVIK_SDK_INFO_MESSAGES_H

#ifdef __cplusplus
extern "C" {
#endif

#define HOST_INFO_MESSAGES_NAME "Info Messages"

/* Answers of the questions. */
#define HOST_ANSWER_CANCEL 0
#define HOST_ANSWER_OK 1
#define HOST_ANSWER_NO 1
#define HOST_ANSWER_YES 2

typedef struct HostMessageFuncs1 {
  void (*info)(const char *line1, const char *line2);
  void (*error)(const char *line1, const char *line2);
  void (*warning)(const char *line1, const char *line2);
} HostMessageFuncs1;

typedef struct HostMessageFuncs2 {
  void (*info)(const char *line1, const char *line2);
  void (*error)(const char *line1, const char *line2);
  void (*warning)(const char *line1, const char *line2);
  /* HOST_ANSWER_OK or HOST_ANSWER_CANCEL. */
  int (*okCancel)(const char *title, const char *line1, const char *line2);
  /* HOST_ANSWER_YES or HOST_ANSWER_NO. */
  int (*yesNo)(const char *title, const char *line1, const char *line2);
  /* HOST_ANSWER_YES, HOST_ANSWER_NO or HOST_ANSWER_CANCEL. */
  int (*yesNoCancel)(const char *title, const char *line1, const char *line2);
} HostMessageFuncs2;

typedef struct HostMessageFuncs3 {
  void (*info)(const char *line1, const char *line2);
  void (*error)(const char *line1, const char *line2);
  void (*warning)(const char *line1, const char *line2);
  int (*okCancel)(const char *title, const char *line1, const char *line2);
  int (*yesNo)(const char *title, const char *line1, const char *line2);
  int (*yesNoCancel)(const char *title, const char *line1, const char *line2);
  /* One line on the host's status bar. */
  void (*status)(const char *text);
} HostMessageFuncs3;

#ifdef __cplusplus
}
#endif

#endif
