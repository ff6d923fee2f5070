#include "song/EventoSequenciamento.h"

EventoSequenciamento::EventoSequenciamento(int32_t tick, int32_t canal) : tick(tick), canal(canal) {}

EventoSequenciamento::~EventoSequenciamento() = default;

void EventoSequenciamento::transpor(int32_t) {}

void EventoSequenciamento::executar() {}
