// The application's counters: the figure number issued to every new or
// duplicated figure, the serial of image working copies, and the number of
// each open note.  Each starts at 1 and hands out the current value, then
// counts on.  The application owns one set (AppCounters_instance, of the
// user-interface thread); tests make their own.
//
// Note numbers name the note's files in the work folder, which every
// process of the profile shares: the application's set starts them at
// AppCounters_processDocumentBase(), a range of 1023 numbers of this
// process, and NoteDocument_newDocumentNumber skips numbers whose files
// are there.
#pragma once

#include <cstdint>

class AppCounters {
 public:
  // Both stop at the largest number rather than overflow (only numbers a
  // damaged note or clipboard record raised that far get there).
  int32_t nextFigureNumber() { return takeNext(figureNumber_); }
  int32_t nextImageSerial() { return takeNext(imageSerial_); }
  int32_t nextDocumentNumber() {
    const int32_t n = documentNumber_;
    documentNumber_ = static_cast<int32_t>(static_cast<uint32_t>(documentNumber_) + 1u);
    if (documentNumber_ == 0) documentNumber_ = 1;
    return n;
  }

  // The value the next call will hand out.
  int32_t peekFigureNumber() const { return figureNumber_; }
  // Makes the next figure number larger than `number` (no effect when it is).
  void raiseFigureNumberAbove(int32_t number) {
    if (number >= figureNumber_) figureNumber_ = number == INT32_MAX ? INT32_MAX : number + 1;
  }
  void reset() { *this = AppCounters(); }
  // The next note number (never 0, which names notes read only for a
  // moment).
  void setDocumentNumber(int32_t next) { documentNumber_ = next == 0 ? 1 : next; }

 private:
  static int32_t takeNext(int32_t& counter) {
    const int32_t n = counter;
    if (counter < INT32_MAX) ++counter;
    return n;
  }

  int32_t figureNumber_ = 1;
  int32_t imageSerial_ = 1;
  int32_t documentNumber_ = 1;
};

// The counters of this thread's application (the user-interface thread).
AppCounters& AppCounters_instance();
// The first note number of this process: its process id times 1024, plus 1.
int32_t AppCounters_processDocumentBase();
