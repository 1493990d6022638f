#include "e2e/PlayDriver.h"

#include "platform/PngFile.h"
#include "support/TestSupport.h"
#include "support/XWindow.h"

#include <boost/filesystem.hpp>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <thread>
// Last: Xlib's macros (None, Bool, Status) clash with names in the headers above.
#include <X11/Xlib.h>

namespace fs = boost::filesystem;

namespace
{
const int POLL_MS = 40;

double Now()
{
	using namespace std::chrono;
	return duration<double>(steady_clock::now().time_since_epoch()).count();
}

int Channel(TColour colour, int shift)
{
	return int((colour >> shift) & 0xFF);
}

bool Near(TColour a, TColour b, int tolerance)
{
	for (int shift : {0, 8, 16})
		if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance)
			return false;
	return true;
}

// Calls the function for every pixel of the rectangle that lies inside the shot.
template <typename F> int ForEachPixel(const TShot& shot, const TRect& rect, F f)
{
	int count = 0;
	for (int y = std::max(rect.Y, 0); y < std::min(rect.Y + rect.H, shot.Height); ++y)
		for (int x = std::max(rect.X, 0); x < std::min(rect.X + rect.W, shot.Width); ++x, ++count)
			f(x, y);
	return count;
}

void CopyFolder(const fs::path& from, const fs::path& to)
{
	fs::create_directories(to);
	for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
		const fs::path target = to / entry.path().filename();
		if (fs::is_directory(entry.status()))
			CopyFolder(entry.path(), target);
		else
			fs::copy_file(entry.path(), target, fs::copy_option::overwrite_if_exists);
	}
}
}

TColour TShot::Pixel(int x, int y) const
{
	if (x < 0 || y < 0 || x >= Width || y >= Height)
		return 0;
	const std::uint8_t* p = &Rgb[(std::size_t(y) * Width + x) * 3];
	return (TColour(p[0]) << 16) | (TColour(p[1]) << 8) | p[2];
}

double TShot::ShareOf(const TRect& rect, TColour colour, int tolerance) const
{
	int matching = 0;
	const int all = ForEachPixel(*this, rect, [&](int x, int y) { matching += Near(Pixel(x, y), colour, tolerance); });
	return all ? double(matching) / all : 0;
}

double TShot::ChangedShare(const TShot& other, const TRect& rect) const
{
	int changed = 0;
	const int all = ForEachPixel(*this, rect, [&](int x, int y) { changed += Pixel(x, y) != other.Pixel(x, y); });
	return all ? double(changed) / all : 0;
}

int TShot::Colours(const TRect& rect, int limit) const
{
	std::set<TColour> seen;
	ForEachPixel(*this, rect, [&](int x, int y) {
		if (int(seen.size()) < limit)
			seen.insert(Pixel(x, y));
	});
	return int(seen.size());
}

TPlayFolder::TPlayFolder(const std::string& name)
	: m_Path((fs::current_path() / "e2e" / name).string())
{
	fs::remove_all(m_Path);
	CopyFolder(fs::path(MORVALETH_SOURCE_DIR) / "data", m_Path);
	// What an earlier game wrote in the source folder is not part of a fresh game.
	for (const char* written : {"log.txt", "_lualog.txt", "morvaleth.ini"})
		fs::remove(fs::path(m_Path) / written);
	fs::remove_all(fs::path(m_Path) / "Save");
}

std::string TPlayFolder::Read(const std::string& name) const
{
	return FileExists(*this / name) ? ReadFile(*this / name) : std::string();
}

void TPlayFolder::Write(const std::string& name, const std::string& text) const
{
	fs::create_directories(fs::path(*this / name).parent_path());
	WriteFile(*this / name, text);
}

TPlayer::TPlayer(const TPlayFolder& folder, const std::string& run)
	: m_Folder(folder)
	, m_Artifacts((fs::current_path() / "artifacts" / "e2e" / run).string())
{
	fs::remove_all(m_Artifacts);
	fs::create_directories(m_Artifacts);
	m_Display = XOpenDisplay(nullptr);
}

TPlayer::~TPlayer()
{
	m_Game.Kill();
	if (m_Display)
		XCloseDisplay(static_cast<Display*>(m_Display));
}

double TPlayer::SafetyLimit()
{
	const char* limit = std::getenv("MORVALETH_E2E_LIMIT");
	return limit ? std::atof(limit) : 180.0;
}

bool TPlayer::Start()
{
	if (!m_Display)
		return false;
	m_StartedAt = Now();
	TChildProcess::TStart how;
	how.folder = m_Folder.Path();
	how.asNobody = m_WithoutWriteAccess;
	return m_Game.Start(MORVALETH_PROGRAM, {}, how) && FindWindow();
}

bool TPlayer::FindWindow()
{
	m_Window = WaitForShownWindow(m_Display, NamedWindow("Morvaleth"), SafetyLimit(), [this] { return Running(); });
	return m_Window && ReadWindowPlace(m_Display, m_Window, m_Place);
}

bool TPlayer::Running()
{
	return m_Game.Running();
}

double TPlayer::SecondsSinceStart() const
{
	return Now() - m_StartedAt;
}

void TPlayer::Run(const std::vector<std::string>& xdotoolArguments)
{
	TChildProcess xdotool;
	TChildProcess::TStart how;
	how.output = how.errors = "/dev/null";
	if (!xdotool.Start("xdotool", xdotoolArguments, how) || xdotool.WaitForExit() != 0) {
		std::string command;
		for (const std::string& argument : xdotoolArguments)
			command += " " + argument;
		std::fprintf(stderr, "xdotool failed:%s\n", command.c_str());
	}
}

void TPlayer::MoveTo(int x, int y)
{
	// xdotool's --sync waits for the pointer to move, which it never does when it already stands there.
	if (x == m_PointerX && y == m_PointerY)
		return;
	Run({"mousemove", "--sync", std::to_string(m_Place.X + x), std::to_string(m_Place.Y + y)});
	m_PointerX = x;
	m_PointerY = y;
}

void TPlayer::Click(int x, int y, int button)
{
	MoveTo(x, y);
	Run({"click", std::to_string(button)});
}

void TPlayer::DoubleClick(int x, int y)
{
	MoveTo(x, y);
	Run({"click", "--repeat", "2", "--delay", "60", "1"});
}

void TPlayer::Key(const std::string& key)
{
	Run({"key", key});
}

TShot TPlayer::Shot()
{
	TShot shot;
	if (!m_Window)
		return shot;
	shot.Rgb = ReadWindowRgb(m_Display, m_Window, 0, 0, m_Place.Width, m_Place.Height);
	if (!shot.Rgb.empty()) {
		shot.Width = m_Place.Width;
		shot.Height = m_Place.Height;
	}
	return shot;
}

void TPlayer::KeepShot(const TShot& shot, const std::string& name)
{
	if (shot.Empty())
		return;
	char number[16];
	std::snprintf(number, sizeof(number), "%02d_", ++m_Kept);
	WritePng(m_Artifacts + "/" + number + name + ".png", shot.Width, shot.Height, 3, shot.Rgb.data());
}

void TPlayer::Keep(const std::string& name)
{
	KeepShot(Shot(), name);
}

bool TPlayer::WaitFor(const std::string& name, const TCheck& seen)
{
	const double deadline = Now() + SafetyLimit();
	TShot shot;
	while (Running() && Now() < deadline) {
		shot = Shot();
		if (!shot.Empty() && seen(shot)) {
			KeepShot(shot, name);
			return true;
		}
		std::this_thread::sleep_for(std::chrono::milliseconds(POLL_MS));
	}
	KeepShot(shot, "FAILED_" + name);
	std::fprintf(stderr, "never seen: %s\n", name.c_str());
	return false;
}

bool TPlayer::Act(const std::string& name, const std::function<void()>& action, const TCheck& seen)
{
	m_Before = Shot();
	if (m_Before.Empty()) {
		std::fprintf(stderr, "the window cannot be read before the action for %s\n", name.c_str());
		return false;
	}
	if (seen(m_Before)) {
		KeepShot(m_Before, "SAME_" + name);
		std::fprintf(stderr, "the check for %s already holds before the action: it cannot tell the two screens apart\n",
			name.c_str());
		return false;
	}
	action();
	return WaitFor(name, seen);
}

bool TPlayer::ActUntilChanged(const std::string& name, const std::function<void()>& action, const TRect& rect,
	double share, const TCheck& seen)
{
	return Act(name, action, [&](const TShot& shot) {
		return shot.ChangedShare(m_Before, rect) >= share && (!seen || seen(shot));
	});
}

bool TPlayer::WaitForText(const std::string& file, const std::string& text)
{
	const double deadline = Now() + SafetyLimit();
	while (Now() < deadline) {
		if (m_Folder.Read(file).find(text) != std::string::npos)
			return true;
		if (!Running())
			return m_Folder.Read(file).find(text) != std::string::npos;
		std::this_thread::sleep_for(std::chrono::milliseconds(POLL_MS));
	}
	std::fprintf(stderr, "never written to %s: %s\n", file.c_str(), text.c_str());
	Keep("FAILED_text_in_" + file);
	return false;
}

void TPlayer::Close()
{
	if (m_Window)
		SendDeleteWindow(m_Display, m_Window);
}

int TPlayer::WaitForExit()
{
	return m_Game.WaitForExit(SafetyLimit());
}
