#include "workflow/parallel_work.h"

namespace quillane {
namespace {

class CallingThreadOnly final : public ParallelWork {
public:
    void forEach(std::size_t count, std::size_t, const std::function<void(std::size_t)>& task) override {
        for (std::size_t index = 0; index < count; ++index) {
            task(index);
        }
    }
    bool runWithin(std::function<void()> job, DWORD) override {
        job();
        return true;
    }
};

}  // namespace

ParallelWork& callingThreadOnly() {
    static CallingThreadOnly work;
    return work;
}

}  // namespace quillane
