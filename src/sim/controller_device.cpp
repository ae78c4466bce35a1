#include "sim/controller_device.h"

#include "sim/answer_faults.h"

namespace kvarta::sim {

void ControllerDevice::UseFault() {
  if (fault_.count > 0 && --fault_.count == 0) fault_ = Fault{};
}

void ControllerDevice::OnBytes(const uint8_t* data, size_t n, int64_t now_ns) {
  for (const auto& request : assembler_.Feed(data, n, now_ns, controller_.Address())) {
    if (fault_.after > 0) {
      --fault_.after;
      std::vector<uint8_t> answer = controller_.Handle(request);
      if (!answer.empty()) Emit(std::move(answer));
      continue;
    }
    if (FaultActive() && fault_.kind == FaultKind::kErrorAnswer) {
      // The controller refuses the request: it is not carried out.
      Emit(MakeErrorAnswer(controller_.Address(), request[3], fault_.error_code, fault_.reason_code,
                           fault_.table));
      UseFault();
      continue;
    }
    std::vector<uint8_t> answer = controller_.Handle(request);
    if (answer.empty()) continue;
    if (!FaultActive()) {
      Emit(std::move(answer));
      continue;
    }
    FaultedAnswer faulted = ApplyFault(fault_, request, answer, rng_);
    UseFault();
    Emit(std::move(faulted.bytes), faulted.delay_ns);
  }
}

}  // namespace kvarta::sim
