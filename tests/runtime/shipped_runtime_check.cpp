// The shipped programs throw the library's errors (an index out of range, a number that
// cannot be read, ...) as their own std::exception (programs/shipped_terminate.cpp): a
// handler of std::exception still gets them, with libstdc++'s text.
#include <gtest/gtest.h>

#include <exception>
#include <string>
#include <vector>

TEST(ShippedRuntime, LibraryErrorsReachStdExceptionHandlersWithTheirText) {
  auto text = [](auto&& f) -> std::string {
    try {
      f();
    } catch (const std::exception& e) {
      return e.what();
    }
    return "no error";
  };
  std::string s = "abc";
  std::vector<int> v;
  EXPECT_EQ(text([&] { (void)s.at(10); }), "basic_string::at: __n (which is 10) >= this->size() (which is 3)");
  EXPECT_EQ(text([&] { (void)s.substr(7); }), "basic_string::substr: __pos (which is 7) > this->size() (which is 3)");
  EXPECT_EQ(text([&] { (void)v.at(3); }), "vector::_M_range_check: __n (which is 3) >= this->size() (which is 0)");
  EXPECT_EQ(text([] { (void)std::stoi("zz"); }), "stoi");
  EXPECT_EQ(text([] { (void)std::stoi("99999999999"); }), "stoi");
  EXPECT_EQ(text([&] { v.reserve(v.max_size() + 1); }), "vector::reserve");
}
