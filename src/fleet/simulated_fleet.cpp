// Running a batch's profiles: reading each one, its run, its report and its row; the threads.
#include "fleet/simulated_fleet.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <system_error>
#include <thread>

#include "base/utf8_path.h"
#include "fleet/row_of_report.h"
#include "platform/sim/profile_loader.h"
#include "platform/sim/sim_platform.h"
#include "report/build_report.h"
#include "run/layout_job.h"

namespace quorvane::fleet {
namespace {

namespace fs = std::filesystem;
using sim::ProfileError;

constexpr auto kProgressPeriod = std::chrono::milliseconds(200);

// The file's text, refused in the loader's words when it is no file a profile can be. The path is
// looked up once, so that a pipe is never opened (it would block), and the size is taken from the
// open file.
std::string ReadProfileText(const std::string& path) {
  const std::string where = path + ": (file): expected ";
  std::error_code ec;
  const fs::path file = PathFromUtf8(path);
  const fs::file_status status = fs::status(file, ec);
  if (fs::is_directory(status)) throw ProfileError(where + "a profile file, found a folder");
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    throw ProfileError(where + "a profile file, found neither a file nor a folder");
  }
  // A stream rather than the C library's FILE: it opens a name outside the code page on Windows.
  std::ifstream in(file, std::ios::binary);
  const std::streamoff size =
      in ? static_cast<std::streamoff>(in.seekg(0, std::ios::end).tellg()) : -1;
  if (size < 0 || !in.seekg(0, std::ios::beg)) {
    throw ProfileError(where + "a readable profile, found none");
  }
  if (static_cast<uintmax_t>(size) > kMaxProfileBytes) {
    throw ProfileError(where + "a profile of at most 64 MiB, found " + std::to_string(size) +
                       " bytes");
  }
  std::string text(static_cast<size_t>(size), '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  if (in.bad()) throw ProfileError(where + "a readable profile, found none");
  return text;
}

}  // namespace

FleetRow SimulateProfile(const std::string& path) {
  sim::Profile profile;
  try {
    profile = sim::LoadProfile(ReadProfileText(path), path);
  } catch (const ProfileError& e) {
    return BadProfileRow(path, e.what());
  }
  const sim::Profile loaded = profile;
  sim::SimPlatform machine(std::move(profile));
  const CLayoutJob job(machine);
  return RowOfReport(report::BuildRunReport(loaded, machine, job), path);
}

std::vector<FleetRow> SimulateFleet(const std::vector<std::string>& profiles, unsigned jobs,
                                    const std::function<void(size_t done)>& progress) {
  std::vector<FleetRow> rows(profiles.size());
  std::atomic<size_t> next{0};
  std::mutex mutex;
  std::condition_variable changed;
  size_t done = 0;
  size_t running = 0;
  std::exception_ptr failure;

  // Each worker takes the next profile until none is left; a row goes to its profile's place.
  auto work = [&] {
    for (size_t i; (i = next.fetch_add(1)) < profiles.size();) {
      std::exception_ptr failed;
      try {
        rows[i] = SimulateProfile(profiles[i]);
      } catch (...) {
        failed = std::current_exception();
        next = profiles.size();
      }
      const std::lock_guard lock(mutex);
      if (failed && !failure) failure = failed;
      ++done;
    }
    {
      const std::lock_guard lock(mutex);
      --running;
    }
    changed.notify_one();
  };

  const size_t threads = std::clamp<size_t>(jobs, 1, std::max<size_t>(profiles.size(), 1));
  std::vector<std::thread> workers;
  workers.reserve(threads);
  for (size_t t = 0; t < threads; ++t) {
    {
      const std::lock_guard lock(mutex);
      ++running;
    }
    try {
      workers.emplace_back(work);
    } catch (const std::system_error&) {
      // The system gives no more threads: the ones it gave do the work.
      const std::lock_guard lock(mutex);
      --running;
      break;
    }
  }
  if (workers.empty()) {
    ++running;
    work();
  }
  {
    std::unique_lock lock(mutex);
    while (!changed.wait_for(lock, kProgressPeriod, [&] { return running == 0; })) {
      const size_t now = done;
      lock.unlock();
      if (progress) progress(now);
      lock.lock();
    }
  }
  for (std::thread& worker : workers) worker.join();
  if (failure) std::rethrow_exception(failure);
  if (progress) progress(done);
  return rows;
}

}  // namespace quorvane::fleet
