#include "world/levels.h"

// Each level reads as: static platforms, gravity platforms, static walls,
// gravity walls, enemies, start point, goal corner. Every goal is 50 x 50.
// The borders are the walls (0, 0, 10, 720) and (1270, 0, 10, 720).

Level makeLevel1()
{
    return Level({Platform(0, 670, 1280, 10, false), Platform(650, 100, 650, 10, false)},
                 {Platform(500, 400, 50, 25, true)},
                 {Wall(0, 0, 10, 720, false), Wall(1270, 0, 10, 720, false)},
                 {},
                 {},
                 {51, 500}, 1080, 50);
}

Level makeLevel2()
{
    return Level({Platform(0, 200, 200, 10, false), Platform(1080, 200, 200, 10, false),
                  Platform(0, 610, 1280, 10, false)},
                 {Platform(350, 0, 50, 25, true), Platform(550, 0, 50, 25, true),
                  Platform(800, 0, 50, 25, true)},
                 {Wall(0, 0, 10, 720, false), Wall(1270, 0, 10, 720, false)},
                 {},
                 {Enemy(0, 570, 1280, 40)},
                 {51, 150}, 1080, 150);
}

Level makeLevel3()
{
    return Level({Platform(0, 355, 1280, 10, false)},
                 {},
                 {Wall(0, 0, 10, 720, false), Wall(1270, 0, 10, 720, false)},
                 {Wall(630, 0, 20, 355, true)},
                 {},
                 {10, 0}, 1220, 305);
}

Level makeLevel4()
{
    return Level({Platform(0, 100, 1280, 10, false)},
                 {},
                 {Wall(0, 0, 10, 720, false), Wall(1270, 0, 10, 720, false)},
                 {},
                 {},
                 {640, 0}, 640, 300);
}

Level makeLevel5()
{
    return Level({Platform(100, 100, 1280, 10, false), Platform(0, 350, 1280, 10, false)},
                 {},
                 {Wall(70, 100, 10, 250, false), Wall(640, 0, 10, 100, false),
                  Wall(0, 0, 10, 720, false), Wall(1270, 0, 10, 720, false)},
                 {},
                 {},
                 {150, 50}, 720, 300);
}

Level makeLevel6()
{
    return Level({Platform(0, 400, 1280, 10, false), Platform(630, 510, 10, 10, false)},
                 {},
                 {Wall(640, 0, 10, 400, false), Wall(0, 0, 10, 720, false), Wall(1270, 0, 10, 720, false)},
                 {Wall(630, 410, 10, 100, true)},
                 {},
                 {400, 350}, 980, 350);
}

// The only level without a left border.
Level makeLevel7()
{
    return Level({Platform(0, 100, 1280, 10, false), Platform(0, 710, 1280, 10, false)},
                 {},
                 {Wall(1270, 0, 10, 720, false)},
                 {},
                 {Enemy(640, 0, 10, 100)},
                 {50, 50}, 1000, 660);
}
