// The one exception of the service host: a failed platform call, carrying the
// platform's 32-bit error code. The life cycle operations of CServiceBase turn
// it into an event log entry and a status report; nothing else throws it.
#ifndef ZTRM_SERVICE_SERVICE_ERROR_H_
#define ZTRM_SERVICE_SERVICE_ERROR_H_

#include <cstdint>
#include <exception>

namespace ztrm {

class ServiceError : public std::exception {
 public:
  explicit ServiceError(std::uint32_t code) : code_(code) {}
  std::uint32_t code() const { return code_; }
  const char* what() const noexcept override { return "platform call failed"; }

 private:
  std::uint32_t code_;
};

}  // namespace ztrm

#endif  // ZTRM_SERVICE_SERVICE_ERROR_H_
