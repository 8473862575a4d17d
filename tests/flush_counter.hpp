#ifndef ZELT_TESTS_FLUSH_COUNTER_HPP_
#define ZELT_TESTS_FLUSH_COUNTER_HPP_

#include <ostream>
#include <sstream>
#include <string>

namespace zelt_test {

/// An output stream that keeps what is written and counts how often it is
/// flushed, so a test can tell std::endl (newline, then flush) from '\n'.
class flush_counter {
 public:
  std::ostream& stream() { return os_; }
  std::string text() const { return buf_.str(); }
  int flushes() const { return buf_.syncs; }

 private:
  struct counting_buf : std::stringbuf {
    int syncs = 0;
    int sync() override {
      ++syncs;
      return std::stringbuf::sync();
    }
  };
  counting_buf buf_;
  std::ostream os_{&buf_};
};

}  // namespace zelt_test

#endif  // ZELT_TESTS_FLUSH_COUNTER_HPP_
