// Replaced by the fmhost implementation.
int main() { return 2; }
