// The toolkit contract against the recording fake: input through its entry points, time as a tick.
#include "contract/toolkit_contract.h"

#include "platform/fake/fake_platform.h"

namespace {

using namespace platform::fake;

class FakeDriver : public veltrane_test::ToolkitDriver {
  public:
    platform::Host& Host() override { return host_; }
    void Mouse(platform::PicturePanel& panel, int button, platform::Point at, bool down) override {
        auto& fake = static_cast<FakePicturePanel&>(panel);
        down ? fake.Press(button, at) : fake.Release(button, at);
    }
    void Scroll(platform::ScrollBar& bar, platform::ScrollCode code) override {
        static_cast<FakeScrollBar&>(bar).Scroll(code, bar.Value());
    }
    void CloseBox(platform::Window& window) override { window.Close(); }
    void Wait() override { host_.timers.back()->Fire(); }

  private:
    FakeHost host_;
};

}  // namespace

std::unique_ptr<veltrane_test::ToolkitDriver> veltrane_test::MakeToolkitDriver() {
    return std::make_unique<FakeDriver>();
}
