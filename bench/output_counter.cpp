#include "bench/output_counter.h"

namespace velkora::bench {

class OutputCounter::Streams final : public FileStreams {
 public:
  explicit Streams(FileStreams& real) : real_(real) {}

  IoResult OpenInput(std::u16string_view path, std::unique_ptr<InputStream>& stream) override {
    return real_.OpenInput(path, stream);
  }
  IoResult OpenOutputIn(const FolderHandle& folder, std::u16string_view name,
                        std::unique_ptr<OutputStream>& stream) override {
    ++opened;
    return real_.OpenOutputIn(folder, name, stream);
  }

  int opened = 0;

 private:
  FileStreams& real_;
};

OutputCounter::OutputCounter(const PlatformServices& platform)
    : streams_(std::make_unique<Streams>(platform.streams)),
      services_(std::make_unique<PlatformServices>(PlatformServices{
          platform.codePage,
          *streams_,
          platform.createFileSystem,
          platform.paths,
          platform.sha256,
          platform.snapshots,
      })) {}

OutputCounter::~OutputCounter() = default;

int OutputCounter::Opened() const { return streams_->opened; }

void OutputCounter::Reset() { streams_->opened = 0; }

}  // namespace velkora::bench
