/* A do-nothing console program: the resources are what the tests read. */
int main(void) { return 0; }
