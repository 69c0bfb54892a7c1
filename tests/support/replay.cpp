#include "tests/support/replay.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "game/frame_loop.h"
#include "render/intro_screen.h"
#include "tests/support/input.h"

namespace {

bool readClick(std::istringstream& words, int& x, int& y)
{
    return static_cast<bool>(words >> x >> y) && x >= 0 && x < 1280 && y >= 0 && y < 720;
}

// "intro click X Y", only as the first input of a script.
bool readIntro(std::istringstream& words, Script& script)
{
    std::string click, rest;
    bool understood = !script.intro && script.segments.empty() && words >> click && click == "click" &&
                      readClick(words, script.introX, script.introY) && !(words >> rest);
    script.intro = true;
    return understood;
}

// "<frames> <input>...", the frame count already read as `count`.
bool readSegment(const std::string& count, std::istringstream& words, Segment& segment)
{
    const char* end = count.data() + count.size();
    auto [stop, problem] = std::from_chars(count.data(), end, segment.frames);
    if (problem != std::errc() || stop != end || segment.frames < 1) return false;
    std::string word;
    bool any = false;
    while (words >> word) {
        any = true;
        if (word == "A") segment.left = true;
        else if (word == "D") segment.right = true;
        else if (word == "space") segment.jump = true;
        else if (word == "R") segment.restart = true;
        else if (word == "click") {
            segment.click = true;
            if (!readClick(words, segment.clickX, segment.clickY)) return false;
        } else if (word != "-") return false;
    }
    return any;
}

void setKey(int key, bool held)
{
    if (held) input::holdKey(key);
    else input::releaseKey(key);
}

} // namespace

Script parseScript(const std::string& text)
{
    Script script;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); number++) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string first;
        if (!(words >> first)) continue;
        bool understood;
        if (first == "intro") {
            understood = readIntro(words, script);
        } else {
            Segment segment;
            segment.line = number;
            understood = readSegment(first, words, segment);
            script.segments.push_back(segment);
        }
        if (!understood) {
            script.error = "line " + std::to_string(number) + ": " + line;
            return script;
        }
    }
    return script;
}

Script loadScript(const std::string& path)
{
    std::ifstream file(path);
    if (!file) {
        Script script;
        script.error = "cannot read " + path;
        return script;
    }
    std::stringstream text;
    text << file.rdbuf();
    return parseScript(text.str());
}

void playScript(Game& game, const Script& script, const FrameHook& afterFrame)
{
    if (script.intro) {
        // The press is seen by the intro's first pass and must not outlive it.
        input::pressMouseAt(script.introX, script.introY);
        showIntroScreen();
        input::releaseMouse();
    }
    int frame = 0;
    for (const Segment& segment : script.segments) {
        for (int n = 0; n < segment.frames; n++) {
            setKey(input::keyA, segment.left);
            setKey(input::keyD, segment.right);
            setKey(input::keySpace, segment.jump);
            setKey(input::keyR, segment.restart);
            if (segment.click) input::pressMouseAt(segment.clickX, segment.clickY);
            playFrame(game);
            // This platform never ages the button, so a click is let go after its frame.
            if (segment.click) input::releaseMouse();
            frame++;
            if (afterFrame) afterFrame(game, frame, segment);
        }
    }
}
