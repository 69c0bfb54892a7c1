#include "bubbles/bubble_pass.h"

#include <algorithm>

#include "world/motion.h"

namespace {

constexpr double rise = -4.9;

void carryLoad(const Bubble& b, Level& currentLevel)
{
    if (b.carriedKind == "p") {
        shiftY(currentLevel.gravityPlatforms[b.carriedIndex], rise);
    } else if (b.carriedKind == "w") {
        shiftY(currentLevel.gravityWalls[b.carriedIndex], rise);
    } else if (b.carriedKind == "v") {
        // The goal stops at the top edge while its bubble rises on.
        if (currentLevel.goal.y > 0) {
            currentLevel.goal.y = shifted(currentLevel.goal.y, rise);
        }
    }
}

// Only the index is compared, whatever list it points into, so a bubble
// carrying wall 0 also keeps platform 0 from being taken.
bool indexTaken(const std::vector<Bubble>& bubbles, int index)
{
    return std::any_of(bubbles.begin(), bubbles.end(),
                       [index](const Bubble& other) { return other.carriedIndex == index; });
}

bool goalTaken(const std::vector<Bubble>& bubbles)
{
    return std::any_of(bubbles.begin(), bubbles.end(),
                       [](const Bubble& other) { return other.carriedKind == "v"; });
}

// GCC 12 at -O3 gives a false -Wrestrict warning when a literal is assigned to
// a std::string in place; building the string first avoids it. Either is correct.
void setCarriedKind(Bubble& b, const char* kind)
{
    b.carriedKind = std::string(kind);
}

template <typename Block>
bool captureFrom(std::vector<Block>& blocks, const char* kind, Bubble& b, const std::vector<Bubble>& bubbles)
{
    for (int j = 0; j < static_cast<int>(blocks.size()); j++) {
        if (CheckCollisionPointRec(b.position, blocks[j].rect) && !indexTaken(bubbles, j)) {
            b.carriedIndex = j;
            b.carrying = true;
            blocks[j].hasGravity = false;
            setCarriedKind(b, kind);
            return true;
        }
    }
    return false;
}

void captureGoal(Bubble& b, const std::vector<Bubble>& bubbles, const Level& currentLevel)
{
    if (CheckCollisionPointRec(b.position, currentLevel.goal) && !goalTaken(bubbles)) {
        b.carrying = true;
        setCarriedKind(b, "v");
    }
}

} // namespace

void bubblePass(std::vector<Bubble>& bubbles, std::vector<int>& deleteBubbles, Level& currentLevel)
{
    for (int i = 0; i < static_cast<int>(bubbles.size()); i++) {
        Bubble& b = bubbles[i];
        b.position.y = shifted(b.position.y, rise);
        if (b.carrying) {
            carryLoad(b, currentLevel);
        }
        if (b.position.y <= 0) {
            deleteBubbles.push_back(i);
            continue;
        }
        // At most one platform or wall changes hands per frame.
        if (captureFrom(currentLevel.gravityPlatforms, "p", b, bubbles) ||
            captureFrom(currentLevel.gravityWalls, "w", b, bubbles)) {
            return;
        }
        captureGoal(b, bubbles, currentLevel);
    }
}

void deletionStep(std::vector<Bubble>& bubbles, std::vector<int>& deleteBubbles, Level& currentLevel)
{
    std::sort(deleteBubbles.begin(), deleteBubbles.end());
    // Highest index first, so the indices still to come stay valid.
    for (auto d = deleteBubbles.rbegin(); d != deleteBubbles.rend(); ++d) {
        const Bubble& b = bubbles[*d];
        if (b.carrying) {
            if (b.carriedKind == "p") {
                currentLevel.gravityPlatforms[b.carriedIndex].hasGravity = true;
            } else if (b.carriedKind == "w") {
                currentLevel.gravityWalls[b.carriedIndex].hasGravity = true;
            }
        }
        bubbles.erase(bubbles.begin() + *d);
    }
    deleteBubbles.clear();
}

void bubbleCreation(std::vector<Bubble>& bubbles)
{
    if (IsMouseButtonPressed(0)) {
        int x = GetMouseX();
        int y = GetMouseY();
        bubbles.emplace_back(x, y);
    }
}
