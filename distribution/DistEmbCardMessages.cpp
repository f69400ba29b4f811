// The screen's message catalogue: every text the screen shows by key, stored exactly as the
// user reads it.
#include "distribution/DistEmbCard.h"
#include "framework/ui/TMessages.h"

void TfrmDistEmbCard::BuildMessages() {
    msgPadrao->SetLines({
        QStringLiteral("Excl|Confirma exclusão?"),
        QStringLiteral("FILIAL|Filial"),
        QStringLiteral("FILIAL_N_INF|Filial deve ser informada."),
        QStringLiteral("FILIAL_N_CAD|Filial informada não cadastrada."),
        QStringLiteral("N_HA_FILIAL|Não há filial cadastrada."),
        QStringLiteral("SERV_N_INF|Serviço deve ser informado"),
        QStringLiteral("ERRO_N_EXIST_CARD|Não existe cardápio para os dados informados."),
        QStringLiteral("ERRO_SERV_N_TRANS|Serviço informado não é transportado"),
        QStringLiteral("ERRO_COMESTICLI_ZERO|Número de comensais igual a zero para o ponto de "
                       "entrega informado"),
        QStringLiteral("ERRO_PRAT_CARD_ALT|Informações do cardápio foram alteradas invalidando a "
                       "distribuição atual. Para corrigir refaça a distribuição através do botão "
                       "\"Redistribuir cardápio\"."),
        QStringLiteral("CONF_REDISTRIBUICAO|A distribuição do serviço selecionado será refeita "
                       "conforme parametrização. Confirma operação?"),
        QStringLiteral("CANC_DIST|Cancela alteração na distribuição?"),
        QStringLiteral("EMB|Embalagens"),
        QStringLiteral("NAO_HA_EMB|Não há embalagens cadastradas."),
        QStringLiteral("EMB_N_INF|Embalagem deve ser informada"),
        QStringLiteral("EMB_N_CAD|Embalagem informada não cadastrada"),
        QStringLiteral("PROPOSITO_I|Individual"),
        QStringLiteral("PROPOSITO_C|Coletiva"),
        QStringLiteral("CANC_EMB|Cancela inclusão/alteração da embalagem?"),
        QStringLiteral("QTPORPESSOA_ZERO|O prato selecionado não possui quantidade por pessoa "
                       "informada em sua receita."),
        QStringLiteral("PRAT_N_REL_EMB|Prato não possui relação de transporte com a embalagem."),
        QStringLiteral("QTEMB_ZERO|Quantidade de embalagens deve ser maior que zero."),
        QStringLiteral("EMB_SEM_PRATO|A embalagem deve possuir pratos relacionados."),
        QStringLiteral("DTCARDAPIO_N_INF|Data do cardápio deve ser informada"),
        QStringLiteral("APAGAR_DISTR|Confirma a exclusão da distribuição?"),
        QStringLiteral("ERRO_COMESTICAR_ZERO|Número de comensais do dia igual a zero."),
        QStringLiteral("EXISTE_IT_EMBCOL|Apenas um item pode ser associado a embalagens "
                       "coletivas."),
    });
}
