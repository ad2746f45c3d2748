/* Somma: if the array is empty, return 0 */
#include <stdio.h>

static int somma(const int *v, int n)
{
	int s = 0;
	for (int i = 0; i < n; i++) {
		if (v[i] > 0) {
			s += v[i];
		} else if (v[i] == 0) {
			continue;
		}else{
			break;
		}
	}
	return s;
}

int main(void)
{
	int v[3] = {1, 2, 3};
	// while this comment says for and if
	while (somma(v, 3) < 0)
		return 1;
	printf("if %d\n", somma(v, 3));
	return 0;
}
