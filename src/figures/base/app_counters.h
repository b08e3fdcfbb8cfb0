// The application's counters: the figure number issued to every new or
// duplicated figure, the serial of image working copies, and the number of
// each open note.  Each starts at 1 and hands out the current value, then
// counts on.  The application owns one set (AppCounters_instance, of the
// user-interface thread); tests make their own.
#pragma once

#include <cstdint>

class AppCounters {
 public:
  int32_t nextFigureNumber() { return figureNumber_++; }
  int32_t nextImageSerial() { return imageSerial_++; }
  int32_t nextDocumentNumber() { return documentNumber_++; }

  // The value the next call will hand out.
  int32_t peekFigureNumber() const { return figureNumber_; }
  // Makes the next figure number larger than `number` (no effect when it is).
  void raiseFigureNumberAbove(int32_t number) {
    if (number >= figureNumber_) figureNumber_ = number + 1;
  }
  void reset() { *this = AppCounters(); }

 private:
  int32_t figureNumber_ = 1;
  int32_t imageSerial_ = 1;
  int32_t documentNumber_ = 1;
};

// The counters of this thread's application (the user-interface thread).
AppCounters& AppCounters_instance();
