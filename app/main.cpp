#include "app/OrvantaApplication.h"

int main()
{
    Orvanta::OrvantaApplication application;
    if (!application.initInstance())
        return 1;
    return application.run();
}
