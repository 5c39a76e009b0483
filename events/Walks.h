#pragma once
// The two walks that turn the logs into events: every record goes to the first
// prototype of the registry that accepts it. The general log is appended in
// page order; the settings log is inserted by time, so run it second.
// Both return 0 when done and 1 when cancelled through progress (checked each
// time the shown value, 0 to 9, changes) or ended by an errorExc, whose text
// goes to the error log. progress may be null.
class GL_pList;
class SL_pList;
class RecorderImage;
class eventList;
class Progress;

int decodeGeneralLog(const GL_pList& registry, const RecorderImage& image, eventList& events,
                     Progress* progress);
int decodeSettingsLog(const SL_pList& registry, const RecorderImage& image, eventList& events,
                      Progress* progress);
