// How many threads this process has, to show that none are left behind.
#pragma once

long threads_in_process();
